#include "checksums/ChecksumReport.h"

#include <string>

namespace Zintrel {

foundation::hstring ChecksumReport(const foundation::hstring& path, const foundation::hstring& sizeLabel,
                                   const foundation::hstring& sizeText, const ChecksumsViewModel& viewModel)
{
    std::u16string report(path);
    report += u"\r\n";
    report += sizeLabel;
    report += u' ';
    report += sizeText;
    for (const auto& entry : *viewModel.HashAlgos()) {
        report += u"\r\n";
        report += entry->ShortName();
        report += u": ";
        report += entry->Checksum();
    }
    return foundation::hstring(std::move(report));
}

}  // namespace Zintrel
