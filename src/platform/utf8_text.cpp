#include "platform/utf8_text.h"

#include <locale.h>

namespace kc::platform {

Utf8TextScope::Utf8TextScope() {
  // Character types from C.UTF-8, every other category as the thread has it.
  locale_t current = duplocale(uselocale(static_cast<locale_t>(0)));
  if (current == static_cast<locale_t>(0)) return;
  locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", current);
  if (utf8 == static_cast<locale_t>(0)) {
    freelocale(current);
    return;
  }
  utf8_ = utf8;
  previous_ = uselocale(utf8);
}

Utf8TextScope::~Utf8TextScope() {
  if (utf8_ == nullptr) return;
  uselocale(static_cast<locale_t>(previous_));
  freelocale(static_cast<locale_t>(utf8_));
}

}  // namespace kc::platform
