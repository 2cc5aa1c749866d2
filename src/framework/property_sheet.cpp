#include "framework/property_sheet.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace kc::fw {
namespace {

QPushButton* MakeButton(QWidget* parent, const char* text, int id) {
  auto* b = new QPushButton(QString::fromUtf8(text), parent);
  b->setObjectName(QStringLiteral("ctl%1").arg(id));
  b->setMinimumWidth(88);
  // The frame's buttons keep Next (or Finish) as the default whatever has the
  // focus; Return on a focused button presses that button (keyPressEvent).
  b->setAutoDefault(false);
  return b;
}

}  // namespace

CPropertySheet::CPropertySheet(const std::string& caption, QWidget* parent, int selectPage)
    : CDialog(0, parent), m_caption(caption), m_startPage(selectPage) {
  setWindowTitle(QString::fromStdString(caption));
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  m_stack = new QStackedWidget(this);
  outer->addWidget(m_stack, 1);

  auto* line = new QFrame(this);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  auto* lineRow = new QHBoxLayout;
  lineRow->setContentsMargins(11, 0, 11, 0);
  lineRow->addWidget(line);
  outer->addLayout(lineRow);

  // The buttons are made after the page stack, so Tab runs from the page's
  // controls to Back, Next / Finish and Cancel.
  auto* row = new QHBoxLayout;
  row->setContentsMargins(11, 11, 11, 11);
  row->setSpacing(0);
  row->addStretch(1);
  m_back = MakeButton(this, "< &Back", ID_WIZBACK);
  m_next = MakeButton(this, "&Next >", ID_WIZNEXT);
  m_finish = MakeButton(this, "Finish", ID_WIZFINISH);
  m_cancel = MakeButton(this, "Cancel", IDCANCEL);
  m_help = MakeButton(this, "Help", IDHELP);
  row->addWidget(m_back);
  row->addWidget(m_next);
  row->addWidget(m_finish);
  row->addSpacing(8);
  row->addWidget(m_cancel);
  row->addSpacing(8);
  row->addWidget(m_help);
  outer->addLayout(row);

  m_finish->hide();
  m_next->setDefault(true);
  connect(m_back, &QPushButton::clicked, this, [this] { PressBack(); });
  connect(m_next, &QPushButton::clicked, this, [this] { PressNext(); });
  connect(m_finish, &QPushButton::clicked, this, [this] { PressFinish(); });
  // Cancel (ctl2) runs OnCancel through the dialog's own wiring.
}

CPropertySheet::~CPropertySheet() {
  // The pages belong to the caller: take them out before the stack goes.
  for (const auto& page : m_pages) {
    if (page) {
      page->hide();
      page->setParent(nullptr);
      page->m_sheet = nullptr;
    }
  }
}

void CPropertySheet::AddPage(CPropertyPage* page) {
  if (!page) return;
  page->m_sheet = this;
  // A page sits inside the frame: its position is the layout's, never a
  // dialog's own centring.
  page->setAttribute(Qt::WA_Moved, true);
  m_stack->addWidget(page);
  m_pages.emplace_back(page);
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
  if (index < 0 || index >= GetPageCount()) return nullptr;
  return m_pages[static_cast<std::size_t>(index)].data();
}

bool CPropertySheet::OnInitDialog() {
  CDialog::OnInitDialog();
  // Room for the largest page: its layout's wish or its template's size.
  QSize size;
  for (const auto& page : m_pages) {
    if (!page) continue;
    size = size.expandedTo(page->sizeHint()).expandedTo(page->minimumSizeHint());
    if (page->testAttribute(Qt::WA_Resized)) size = size.expandedTo(page->size());
  }
  m_stack->setMinimumSize(size);
  adjustSize();
  Activate(m_startPage >= 0 && m_startPage < GetPageCount() ? m_startPage : 0);
  return false;  // the page's activation has set the focus
}

LRESULT CPropertySheet::SendMessage(unsigned msg, WPARAM, LPARAM lParam) {
  if (msg == PSM_SETWIZBUTTONS) SetWizardButtons(static_cast<unsigned>(lParam));
  return 0;
}

void CPropertySheet::SetWizardButtons(unsigned flags) {
  m_back->setEnabled(flags & PSWIZB_BACK);
  const bool finish = flags & (PSWIZB_FINISH | PSWIZB_DISABLEDFINISH);
  if (finish) {
    // Finish takes Next's place, the default and the focus, so that Return
    // (or a focus left on the hidden Next) never falls through to Cancel.
    m_next->hide();
    m_finish->show();
    m_finish->setEnabled(flags & PSWIZB_FINISH);
    m_finish->setDefault(true);
    if (m_finish->isEnabled()) m_finish->setFocus(Qt::OtherFocusReason);
  } else {
    const bool finishHadFocus = m_finish->hasFocus() || focusWidget() == m_finish;
    m_finish->hide();
    m_finish->setDefault(false);
    m_next->show();
    m_next->setEnabled(flags & PSWIZB_NEXT);
    m_next->setDefault(true);
    if (finishHadFocus && m_next->isEnabled()) m_next->setFocus(Qt::OtherFocusReason);
  }
}

bool CPropertySheet::Activate(int index) {
  CPropertyPage* page = GetPage(index);
  if (!page) return false;
  page->EnsureInitialized();
  if (!page->OnSetActive()) return false;
  m_active = index;
  m_stack->setCurrentWidget(page);
  ShowCaption();
  FocusPageStart();
  return true;
}

void CPropertySheet::FocusPageStart() {
  if (!m_finish->isHidden() && m_finish->isEnabled()) {
    m_finish->setFocus(Qt::TabFocusReason);
    return;
  }
  if (QWidget* first = FirstTabStop(GetActivePage()))
    first->setFocus(Qt::TabFocusReason);
  else if (m_next->isEnabled())
    m_next->setFocus(Qt::TabFocusReason);
}

void CPropertySheet::ShowCaption() {
  const CPropertyPage* page = GetActivePage();
  const QString caption = page ? page->windowTitle() : QString();
  setWindowTitle(caption.isEmpty() ? QString::fromStdString(m_caption) : caption);
}

void CPropertySheet::PressNext() {
  CPropertyPage* page = GetActivePage();
  if (!page || m_active + 1 >= GetPageCount()) return;
  if (page->OnWizardNext() != 0) return;
  if (!page->OnKillActive()) return;
  Activate(m_active + 1);
}

void CPropertySheet::PressBack() {
  CPropertyPage* page = GetActivePage();
  if (!page || m_active <= 0) return;
  if (page->OnWizardBack() != 0) return;
  if (!page->OnKillActive()) return;
  Activate(m_active - 1);
}

void CPropertySheet::PressFinish() {
  CPropertyPage* page = GetActivePage();
  if (!page) return;
  if (!page->OnWizardFinish()) return;
  EndDialog(ID_WIZFINISH);
}

void CPropertySheet::keyPressEvent(QKeyEvent* event) {
  const bool plain = event->modifiers() == Qt::NoModifier ||
                     (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
  if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    // As on a Windows dialog, a focused push button is the default one: the
    // frame's Back, Cancel and Help as well as a page's Browse, Clear or ">>".
    auto* focused = qobject_cast<QPushButton*>(focusWidget());
    if (focused && focused->window() == this && focused->isEnabled() && focused != m_next && focused != m_finish) {
      focused->click();
    } else if (!m_finish->isHidden()) {
      if (m_finish->isEnabled()) m_finish->click();
    } else if (m_next->isEnabled()) {
      m_next->click();
    }
    return;
  }
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    m_cancel->click();
    return;
  }
  event->ignore();
}

}  // namespace kc::fw
