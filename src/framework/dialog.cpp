#include "framework/dialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPointer>
#include <QRadioButton>
#include <QTreeWidget>
#include <QtGlobal>
#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "framework/app.h"
#include "framework/data_exchange.h"
#include "framework/message_box.h"
#include "framework/prompts.h"
#include "framework/window_ops.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/profile.h"

namespace kc::fw {
namespace {

QString ControlName(int id) {
  return QStringLiteral("ctl%1").arg(id);
}

// A user click on an auto radio button clears every partner (Qt clears only
// one, as it assumes at most one is checked; code may have checked several).
void ClearRadioPartners(QRadioButton* clicked) {
  QWidget* parent = clicked->parentWidget();
  if (!parent) return;
  for (QRadioButton* r : parent->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly)) {
    if (r != clicked && r->autoExclusive() && r->isChecked()) SetButtonCheck(r, BST_UNCHECKED);
  }
}

// As on Windows, a radio group has one tab stop: its checked button, or its
// first when none is checked. So the first focus of a page and a Tab into the
// group land on the stored answer, and a Space there changes nothing. A group
// is the auto-exclusive radio buttons of one parent, as Qt makes them.
using RadioGroup = std::vector<QPointer<QRadioButton>>;

template <typename Buttons>
QRadioButton* CheckedOrFirst(const Buttons& group) {
  QRadioButton* stop = nullptr;
  for (QRadioButton* r : group) {
    if (r && (!stop || (r->isChecked() && !stop->isChecked()))) stop = r;
  }
  return stop;
}

// The tab stop of the group of a radio button (not in the middle of a change).
QRadioButton* GroupTabStop(QRadioButton* member) {
  QList<QRadioButton*> group;
  for (QRadioButton* r : member->parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly)) {
    if (r->autoExclusive()) group.push_back(r);
  }
  QRadioButton* stop = CheckedOrFirst(group);
  return stop ? stop : member;
}

// Called on every change of a group's checks; Qt's own focus-in handling moves
// the tab stop to the button that takes the focus.
void KeepGroupTabStop(const RadioGroup& group) {
  QRadioButton* stop = CheckedOrFirst(group);
  for (const auto& r : group) {
    if (!r) continue;
    const int policy = r->focusPolicy();
    r->setFocusPolicy(static_cast<Qt::FocusPolicy>(r == stop ? policy | Qt::TabFocus : policy & ~Qt::TabFocus));
  }
}

}  // namespace

CDialog::CDialog(int templateId, QWidget* parent) : QDialog(parent), m_templateId(templateId) {}

CDialog::~CDialog() = default;

// --- Running -----------------------------------------------------------------

int CDialog::DoModal() {
  return Prompts::Current().RunModal(*this);
}

int CDialog::RunModalLoop() {
  m_ended = false;
  m_result = IDCANCEL;
  // The main window of a dialog-based program has no owner to keep waiting:
  // it runs its loop without being announced as modal, which would make a
  // window manager treat it as a transient dialog.
  const bool mainWindow = AfxGetMainWnd() == this;
  setModal(!mainWindow);
  EnsureInitialized();
  if (m_ended) return m_result;  // OnInitDialog ended the dialog
  int result = 0;
  if (mainWindow) {
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    show();
    loop.exec(QEventLoop::DialogExec);
    result = this->result();
  } else {
    result = exec();
  }
  return m_ended ? m_result : result;
}

bool CDialog::Create(QWidget* parent) {
  if (parent) setParent(parent, windowFlags());
  m_ended = false;
  setModal(false);
  EnsureInitialized();
  if (m_ended) return false;
  show();
  UpdateWindow(this);
  return true;
}

bool CDialog::Create(int templateId, QWidget* parent) {
  m_templateId = templateId;
  return Create(parent);
}

void CDialog::EndDialog(int result) {
  m_ended = true;
  m_result = result;
  done(result);
}

void CDialog::EnsureInitialized() {
  if (m_initialized) return;
  m_initialized = true;
  PrepareTemplate();
  if (OnInitDialog()) {
    if (QWidget* first = FirstTabStop(this)) first->setFocus(Qt::TabFocusReason);
  }
}

void CDialog::PrepareTemplate() {
  if (m_prepared) return;
  m_prepared = true;
  for (int id : {IDOK, IDCANCEL}) {
    if (std::find(m_commandIds.begin(), m_commandIds.end(), id) != m_commandIds.end()) continue;
    if (auto* b = qobject_cast<QAbstractButton*>(FindDlgItem(id))) {
      if (id == IDOK)
        connect(b, &QAbstractButton::clicked, this, [this] { OnOK(); });
      else
        connect(b, &QAbstractButton::clicked, this, [this] { OnCancel(); });
    }
  }
  // The auto-exclusive radio buttons of one parent are a group (as Qt makes
  // them); its tab stop follows its checked button, by click or by code.
  std::map<QWidget*, std::shared_ptr<RadioGroup>> groups;
  for (QRadioButton* r : findChildren<QRadioButton*>()) {
    // A page inside a sheet prepares its own controls.
    QWidget* owner = r->parentWidget();
    while (owner && !qobject_cast<CDialog*>(owner)) owner = owner->parentWidget();
    if (owner != this || !r->autoExclusive()) continue;
    connect(r, &QAbstractButton::clicked, this, [r] { ClearRadioPartners(r); });
    auto& group = groups[r->parentWidget()];
    if (!group) group = std::make_shared<RadioGroup>();
    group->push_back(r);
  }
  for (const auto& [parent, group] : groups) {
    KeepGroupTabStop(*group);
    for (const auto& r : *group) connect(r, &QAbstractButton::toggled, this, [group] { KeepGroupTabStop(*group); });
  }
}

QWidget* CDialog::FirstTabStop(QWidget* within) const {
  for (QWidget* w = within->nextInFocusChain(); w && w != within; w = w->nextInFocusChain()) {
    if (!within->isAncestorOf(w) || !w->isEnabled() || !w->isVisibleTo(within)) continue;
    // A group's tab stop, whatever button held the focus before its checks
    // were set.
    if (auto* r = qobject_cast<QRadioButton*>(w); r && r->autoExclusive() && r->parentWidget()) {
      if (GroupTabStop(r) == r) return r;
      continue;
    }
    if (w->focusPolicy() & Qt::TabFocus) return w;
  }
  return nullptr;
}

// --- Overridables --------------------------------------------------------------

bool CDialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void CDialog::OnOK() {
  if (!UpdateData(true)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() {
  EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

bool CDialog::UpdateData(bool saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  try {
    DoDataExchange(&dx);
  } catch (const DataExchangeFailure&) {
    if (QWidget* w = FindDlgItem(dx.m_idLastControl)) w->setFocus(Qt::OtherFocusReason);
    return false;
  }
  return true;
}

void CDialog::accept() {
  OnOK();
}

void CDialog::reject() {
  OnCancel();
}

// --- Controls by ID --------------------------------------------------------------

QWidget* CDialog::FindDlgItem(int id) const {
  return findChild<QWidget*>(ControlName(id));
}

QWidget* CDialog::GetDlgItem(int id) const {
  QWidget* w = FindDlgItem(id);
  if (!w) {
    qWarning("Dialog %d has no control %d (object name ctl%d)", m_templateId, id, id);
    Q_ASSERT_X(w, "CDialog::GetDlgItem", "no control with this ID in the template");
  }
  return w;
}

void CDialog::SetDlgItemText(int id, const std::string& text) {
  SetWindowTextOf(GetDlgItem(id), text);
}

std::string CDialog::GetDlgItemText(int id) const {
  QWidget* control = GetDlgItem(id);
  if (auto text = GetWindowTextIn(control, TypedTextEncoding())) return *text;
  return GetWindowTextOf(control);
}

platform::TextEncoding CDialog::TypedTextEncoding() const {
  return m_textFile.empty() ? platform::TextEncoding::kUtf8 : win::ProfileTextEncoding(m_textFile.c_str());
}

std::string CDialog::MessageCaption() const {
  return AfxGetAppName();
}

void CDialog::CheckDlgButton(int id, int state) {
  SetButtonCheck(qobject_cast<QAbstractButton*>(GetDlgItem(id)), state);
}

int CDialog::IsDlgButtonChecked(int id) const {
  return GetButtonCheck(qobject_cast<QAbstractButton*>(GetDlgItem(id)));
}

void CDialog::EnableWindow(int id, bool enable) {
  Item(id).EnableWindow(enable);
}

bool CDialog::IsWindowEnabled(int id) const {
  return Item(id).IsWindowEnabled();
}

void CDialog::ShowWindow(int id, int cmd) {
  Item(id).ShowWindow(cmd);
}

void CDialog::GotoDlgCtrl(QWidget* control) {
  if (!control) return;
  control->setFocus(Qt::TabFocusReason);
  if (auto* e = qobject_cast<QLineEdit*>(control)) e->selectAll();
}

LRESULT CDialog::SendDlgItemMessage(int id, unsigned msg, WPARAM wParam, LPARAM lParam) {
  return ProgressCtrl(id).SendMessage(msg, wParam, lParam);
}

bool CDialog::DlgDirListComboBox(const std::string& path, int comboId, int staticId, unsigned type) {
  if (!path.empty() && !win::SetCurrentDirectoryA(path.c_str())) return false;
  CComboBox combo = ComboBox(comboId);
  combo.ResetContent();
  if (type & DDL_DRIVES) {
    for (char letter : win::DriveTable::Current().Letters()) combo.AddString(std::string("[-") + letter + "-]");
  }
  if (staticId != 0) {
    char current[win::MAX_PATH] = {};
    win::GetCurrentDirectoryA(win::MAX_PATH, current);
    SetDlgItemText(staticId, current);
  }
  return true;
}

bool CDialog::DlgDirSelectComboBoxEx(int comboId, std::string& drive) {
  CComboBox combo = ComboBox(comboId);
  const int sel = combo.GetCurSel();
  if (sel < 0) return false;
  const std::string text = combo.GetLBText(sel);
  if (text.size() == 5 && text.compare(0, 2, "[-") == 0 && text.compare(3, 2, "-]") == 0) {
    drive = std::string(1, text[2]) + ":";
    return true;
  }
  drive = text;
  return false;
}

int CDialog::MessageBox(const std::string& text, const std::string& caption, unsigned type) {
  return MessageBoxA(this, text, caption, type);
}

// --- Handlers --------------------------------------------------------------------

void CDialog::OnCommand(int id, std::function<void()> handler) {
  OnCommand(id, BN_CLICKED, std::move(handler));
}

void CDialog::OnCommand(int id, int code, std::function<void()> handler) {
  ConnectCommand(id, code, std::move(handler));
}

void CDialog::ConnectCommand(int id, int code, std::function<void()> handler) {
  QWidget* w = GetDlgItem(id);
  if (!w) return;
  if (auto* b = qobject_cast<QAbstractButton*>(w); b && code == BN_CLICKED) {
    m_commandIds.push_back(id);
    connect(b, &QAbstractButton::clicked, this, [handler] { handler(); });
  } else if (auto* c = qobject_cast<QComboBox*>(w); c && code == CBN_SELCHANGE) {
    connect(c, &QComboBox::activated, this, [handler](int) { handler(); });
  } else if (auto* e = qobject_cast<QLineEdit*>(w); e && code == EN_CHANGE) {
    connect(e, &QLineEdit::textChanged, this, [handler](const QString&) { handler(); });
  } else if (auto* l = qobject_cast<QListWidget*>(w); l && code == LBN_SELCHANGE) {
    connect(l, &QListWidget::itemSelectionChanged, this, [handler] { handler(); });
  } else if (auto* l2 = qobject_cast<QListWidget*>(w); l2 && code == LBN_DBLCLK) {
    connect(l2, &QListWidget::itemDoubleClicked, this, [handler](QListWidgetItem*) { handler(); });
  } else {
    qWarning("Dialog %d: notification %d is not supported on control %d", m_templateId, code, id);
    Q_ASSERT_X(false, "CDialog::OnCommand", "unsupported control or notification");
  }
}

void CDialog::OnNotify(int id, int code, std::function<LRESULT()> handler) {
  QWidget* w = GetDlgItem(id);
  auto* view = qobject_cast<QAbstractItemView*>(w);
  if (!view || (code != NM_DBLCLK && code != NM_CLICK)) {
    qWarning("Dialog %d: notification %d is not supported on control %d", m_templateId, code, id);
    Q_ASSERT_X(false, "CDialog::OnNotify", "unsupported control or notification");
    return;
  }
  if (code == NM_CLICK) {
    connect(view, &QAbstractItemView::clicked, this, [handler](const QModelIndex&) { handler(); });
    return;
  }
  // The double click is taken over so that the handler runs before the
  // default action, on the item that was double-clicked, even when the
  // handler moves items around.
  m_doubleClickHandlers[view->viewport()] = std::move(handler);
  view->viewport()->installEventFilter(this);
}

bool CDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    auto it = m_doubleClickHandlers.find(watched);
    if (it != m_doubleClickHandlers.end()) {
      auto* view = qobject_cast<QAbstractItemView*>(static_cast<QWidget*>(watched)->parentWidget());
      auto* mouse = static_cast<QMouseEvent*>(event);
      const QModelIndex index = view->indexAt(mouse->position().toPoint());
      if (!index.isValid() || mouse->button() != Qt::LeftButton) return true;
      auto* tree = qobject_cast<QTreeWidget*>(view);
      QTreeWidgetItem* item = tree ? tree->itemFromIndex(index) : nullptr;
      if (tree)
        CTreeCtrl(tree).SelectItem(item);
      else
        view->setCurrentIndex(index);
      const QPersistentModelIndex still(index);
      const LRESULT r = it->second();
      if (r == 0 && tree && still.isValid()) {
        QTreeWidgetItem* after = tree->itemFromIndex(still);
        after->setExpanded(!after->isExpanded());
      }
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace kc::fw
