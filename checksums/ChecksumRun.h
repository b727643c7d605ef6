#pragma once
// A checksum run apart from its page: what it reads, how it reads and hashes, and what it
// publishes.

#include "checksums/ChecksumHashers.h"
#include "checksums/ChecksumsViewModel.h"
#include "platform/foundation/async.h"
#include "platform/storage/StorageFile.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace Zintrel {

// One checksum run apart from its page. Made on the UI thread when the run starts; it keeps a copy
// of the chosen entries and the file it will read, so later choices cannot change what it reads.
// The run must outlive its ReadAsync.
class ChecksumRun {
public:
    ChecksumRun(std::shared_ptr<ChecksumsViewModel> viewModel, std::shared_ptr<storage::StorageFile> file);
    ChecksumRun(const ChecksumRun&) = delete;
    ChecksumRun& operator=(const ChecksumRun&) = delete;

    // Null: nothing to read.
    const std::shared_ptr<storage::StorageFile>& File() const noexcept { return m_file; }

    // UI thread: FileSize -1, then an empty Checksum on every entry of the copy, in order.
    void Clear();
    // Reads and hashes the file on the pool (it moves there when started elsewhere): opens it,
    // takes its size from the open file, then loads of ChecksumReadChunk bytes until a load gives
    // none, each fed to every hasher. A platform error of the file (removed, unreadable, failing
    // half-way, changed while it was read) fails the operation with that hresult_error; nothing is
    // published then. Once the program is ending it stops after the chunk it has, with
    // hresult_canceled.
    foundation::IAsyncAction ReadAsync();
    // UI thread, after ReadAsync has succeeded (before that it does nothing): each entry with a
    // result gets its Checksum (an entry whose hasher failed keeps ""), then FileSize.
    void Publish();

    // The loop of ReadAsync over a stream already open, on the pool (it moves there when started
    // elsewhere): loads of ChecksumReadChunk bytes until a load gives none, each fed to every
    // hasher; threads as ChecksumHashers takes it. Loads nothing when there are no entries. Once
    // the program is ending it stops after the chunk it has, with hresult_canceled.
    static foundation::IAsyncOperation<ChecksumResults> HashAsync(std::shared_ptr<storage::IInputStream> stream,
                                                                  std::vector<std::shared_ptr<HashAlgo>> entries,
                                                                  unsigned threads = 0);

private:
    std::shared_ptr<ChecksumsViewModel> m_viewModel;
    std::shared_ptr<storage::StorageFile> m_file;
    std::vector<std::shared_ptr<HashAlgo>> m_entries;
    // Written by ReadAsync, read by Publish once the operation has completed.
    ChecksumResults m_results;
    std::int64_t m_size{-1};
    bool m_read{false};
};

}  // namespace Zintrel
