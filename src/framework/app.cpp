#include "framework/app.h"

#include <QApplication>
#include <QFileInfo>
#include <QWidget>

#include "framework/resources.h"

namespace kc::fw {
namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp(const std::string& appName) : m_pszAppName(appName) {
  g_app = this;
}

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

bool CWinApp::InitInstance() {
  return true;
}

int CWinApp::ExitInstance() {
  return 0;
}

int CWinApp::Run(int& argc, char** argv) {
  QApplication qapp(argc, argv);
  if (m_pszAppName.empty()) m_pszAppName = AfxGetAppName();
  QApplication::setApplicationName(QString::fromStdString(m_pszAppName));
  QApplication::setWindowIcon(LoadIcon(128));
  if (InitInstance() && m_pMainWnd) {
    QApplication::setQuitOnLastWindowClosed(true);
    m_pMainWnd->show();
    QApplication::exec();
  }
  const int status = ExitInstance();
  m_pMainWnd = nullptr;
  return status;
}

CWinApp* AfxGetApp() {
  return g_app;
}

QWidget* AfxGetMainWnd() {
  return g_app ? g_app->m_pMainWnd : nullptr;
}

std::string AfxGetAppName() {
  if (g_app && !g_app->m_pszAppName.empty()) return g_app->m_pszAppName;
  if (QCoreApplication::instance())
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
  return "kitcomp";
}

}  // namespace kc::fw
