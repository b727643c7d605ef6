#pragma once
// The report of a checksum run that the page copies to the clipboard.

#include "checksums/ChecksumsViewModel.h"
#include "platform/foundation/hstring.h"

namespace Zintrel {

// The clipboard report: path, "<label> <size>", one "<ShortName>: <Checksum>" line per entry of
// HashAlgos; "\r\n" before every line but the first, none at the end.
foundation::hstring ChecksumReport(const foundation::hstring& path, const foundation::hstring& sizeLabel,
                                   const foundation::hstring& sizeText, const ChecksumsViewModel& viewModel);

}  // namespace Zintrel
