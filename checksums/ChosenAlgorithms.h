#pragma once
// The choice of algorithms a checksum page remembers between sessions.

#include "checksums/ChecksumsViewModel.h"
#include "platform/foundation/collections.h"

#include <memory>
#include <string_view>

namespace Zintrel {

// The saved choice: the ShortName of every chosen entry, in order, joined with ",".
// Restore does nothing unless the value under the key is a String; otherwise it sets Checked on
// every entry it names, then replaces HashAlgos once with them in the order named (an entry named
// twice stands twice; names of no entry and empty names are dropped). Errors of the settings
// store are not raised: the choice then stays as it was, or is not saved.
void LoadChosenAlgorithms(ChecksumsViewModel& viewModel, const foundation::PropertySet& values, std::u16string_view key);
void SaveChosenAlgorithms(const ChecksumsViewModel& viewModel, foundation::PropertySet& values, std::u16string_view key);
// The first offered entry whose ShortName has exactly these code units, or null.
std::shared_ptr<HashAlgo> FindAlgorithmByShortName(const ChecksumsViewModel& viewModel, std::u16string_view name);

}  // namespace Zintrel
