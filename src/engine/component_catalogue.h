// The component catalogue as a settings file gives it: the module stems the
// generated installer contains, with the entry that names each one.
#pragma once

#include <string>
#include <vector>

namespace kc::engine {

struct CatalogueEntry {
  std::string stem;     // the value: a module file stem
  std::string section;  // "Components" or a section listed under "SubComponents"
  std::string key;      // the component's name there
};

struct Catalogue {
  std::vector<CatalogueEntry> entries;
  // Why there is no module at all ("" when there is one or more): the file is
  // missing, or "Components" has no key or only empty values.
  std::string emptyReason;
};

// The values of "Components" (at most 199 characters each), then of every
// section listed under "SubComponents" (at most 99; its three path keys left
// out when spelled exactly), in file order; empty values are skipped. A
// "Components" section without a module gives no entries at all, whatever the
// sub-components hold, as an absent one does.
Catalogue ReadCatalogue(const std::string& setupIni);

// Why an entry's stem cannot be a module file name, naming the component, or
// "" when it can.
std::string CatalogueNameProblem(const CatalogueEntry& entry);

}  // namespace kc::engine
