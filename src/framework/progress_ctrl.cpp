// Progress bar with the Windows rules for range, position and step. The state
// lives on the widget so that every handle onto the bar sees the same values.
#include <QProgressBar>
#include <QVariant>

#include "framework/controls.h"

namespace kc::fw {
namespace {

struct BarState {
  int lower = 0, upper = 100, pos = 0, step = 10;
};

BarState Read(const QProgressBar* b) {
  BarState s;
  if (b->property("kcLower").isValid()) {
    s.lower = b->property("kcLower").toInt();
    s.upper = b->property("kcUpper").toInt();
    s.pos = b->property("kcPos").toInt();
    s.step = b->property("kcStep").toInt();
  } else {
    s.lower = b->minimum();
    s.upper = b->maximum();
    s.pos = b->value() < b->minimum() ? b->minimum() : b->value();
  }
  return s;
}

void Write(QProgressBar* b, const BarState& s) {
  b->setProperty("kcLower", s.lower);
  b->setProperty("kcUpper", s.upper);
  b->setProperty("kcPos", s.pos);
  b->setProperty("kcStep", s.step);
  // Qt shows a busy animation for an empty range; Windows shows an empty bar.
  if (s.upper <= s.lower) {
    b->setRange(s.lower, s.lower + 1);
    b->setValue(s.lower);
  } else {
    b->setRange(s.lower, s.upper);
    b->setValue(s.pos);
  }
}

int Clamp(const BarState& s, int pos) {
  if (pos < s.lower) return s.lower;
  if (pos > s.upper) return s.upper;
  return pos;
}

}  // namespace

QProgressBar* CProgressCtrl::bar() const {
  return qobject_cast<QProgressBar*>(m_hWnd);
}

void CProgressCtrl::SetRange(int lower, int upper) {
  QProgressBar* b = bar();
  if (!b) return;
  BarState s = Read(b);
  s.lower = lower;
  s.upper = upper;
  s.pos = Clamp(s, s.pos);
  Write(b, s);
}

void CProgressCtrl::GetRange(int& lower, int& upper) const {
  const BarState s = bar() ? Read(bar()) : BarState{};
  lower = s.lower;
  upper = s.upper;
}

int CProgressCtrl::SetPos(int pos) {
  QProgressBar* b = bar();
  if (!b) return 0;
  BarState s = Read(b);
  const int old = s.pos;
  s.pos = Clamp(s, pos);
  Write(b, s);
  return old;
}

int CProgressCtrl::GetPos() const {
  return bar() ? Read(bar()).pos : 0;
}

int CProgressCtrl::SetStep(int step) {
  QProgressBar* b = bar();
  if (!b) return 0;
  BarState s = Read(b);
  const int old = s.step;
  s.step = step;
  Write(b, s);
  return old;
}

int CProgressCtrl::StepIt() {
  QProgressBar* b = bar();
  if (!b) return 0;
  BarState s = Read(b);
  const int old = s.pos;
  const int span = s.upper - s.lower;
  int pos = s.pos + s.step;
  // Past either end the position starts over from the other one.
  if (span > 0) {
    if (pos > s.upper)
      pos = (pos - s.lower) % span + s.lower;
    else if (pos < s.lower)
      pos = (pos - s.lower) % span + s.upper;
  } else {
    pos = s.lower;
  }
  s.pos = pos;
  Write(b, s);
  return old;
}

int CProgressCtrl::OffsetPos(int delta) {
  const int old = GetPos();
  SetPos(old + delta);
  return old;
}

LRESULT CProgressCtrl::SendMessage(unsigned msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case PBM_SETRANGE: {
      int lower = 0, upper = 0;
      GetRange(lower, upper);
      SetRange(LOWORD(lParam), HIWORD(lParam));
      return MAKELPARAM(lower, upper);
    }
    case PBM_SETPOS:
      return SetPos(static_cast<int>(wParam));
    case PBM_DELTAPOS:
      return OffsetPos(static_cast<int>(wParam));
    case PBM_SETSTEP:
      return SetStep(static_cast<int>(wParam));
    case PBM_STEPIT:
      return StepIt();
    case PBM_GETPOS:
      return GetPos();
    default:
      return 0;
  }
}

}  // namespace kc::fw
