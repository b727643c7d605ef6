#include "checksums/ChosenAlgorithms.h"

#include "platform/foundation/boxing.h"

#include <cstdio>
#include <string>
#include <vector>

namespace Zintrel {

std::shared_ptr<HashAlgo> FindAlgorithmByShortName(const ChecksumsViewModel& viewModel, std::u16string_view name)
{
    for (const auto& entry : *viewModel.AvailableHashAlgos())
        if (std::u16string_view(entry->ShortName()) == name) return entry;
    return nullptr;
}

void LoadChosenAlgorithms(ChecksumsViewModel& viewModel, const foundation::PropertySet& values, std::u16string_view key)
{
    const auto saved = foundation::try_as<foundation::IReferenceValue<foundation::hstring>>(
        values.TryLookup(foundation::hstring(key)));
    if (!saved) return;
    const std::u16string_view text = saved->Value();
    std::vector<std::shared_ptr<HashAlgo>> chosen;
    for (std::size_t start = 0;;) {
        const auto comma = text.find(u',', start);
        if (auto entry = FindAlgorithmByShortName(viewModel, text.substr(start, comma - start)))
            chosen.push_back(std::move(entry));
        if (comma == std::u16string_view::npos) break;
        start = comma + 1;
    }
    for (const auto& entry : chosen) entry->Checked(true);
    viewModel.HashAlgos()->ReplaceAll(chosen);
}

void SaveChosenAlgorithms(const ChecksumsViewModel& viewModel, foundation::PropertySet& values, std::u16string_view key)
{
    std::u16string joined;
    bool first = true;
    for (const auto& entry : *viewModel.HashAlgos()) {
        if (!first) joined += u',';
        joined += entry->ShortName();
        first = false;
    }
    try {
        values.Insert(foundation::hstring(key), foundation::PropertyValue::CreateString(foundation::hstring(joined)));
    } catch (const foundation::hresult_error& error) {
        // The page works on; the choice is just not remembered.
        std::fprintf(stderr, "zintrel: the chosen algorithms were not saved: %s\n",
                     foundation::to_narrow(error.message()).c_str());
    }
}

}  // namespace Zintrel
