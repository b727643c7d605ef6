#include "checksums/ChecksumRun.h"

#include "platform/foundation/threading.h"

namespace Zintrel {

ChecksumRun::ChecksumRun(std::shared_ptr<ChecksumsViewModel> viewModel, std::shared_ptr<storage::StorageFile> file)
    : m_viewModel(std::move(viewModel)), m_file(std::move(file))
{
    const auto& chosen = m_viewModel->HashAlgos();
    m_entries.resize(chosen->Size());
    chosen->GetMany(0, m_entries);
}

void ChecksumRun::Clear()
{
    m_viewModel->FileSize(-1);
    for (const auto& entry : m_entries) entry->Checksum(foundation::hstring());
}

foundation::IAsyncAction ChecksumRun::ReadAsync()
{
    if (!m_file) co_return;
    // Awaits below resume on the kind of thread they were awaited on: the pool from here on.
    if (!foundation::thread_pool::is_pool_thread()) co_await foundation::resume_background();
    // The size comes from the opened file, and the stream gives exactly that many bytes or fails:
    // a size and a checksum that describe different files are never published together.
    auto stream = co_await m_file->OpenSequentialReadAsync();
    const auto size = stream->Size();
    m_results = co_await HashAsync(std::move(stream), m_entries);
    m_size = static_cast<std::int64_t>(size);
    m_read = true;
}

foundation::IAsyncOperation<ChecksumResults> ChecksumRun::HashAsync(std::shared_ptr<storage::IInputStream> stream,
                                                                     std::vector<std::shared_ptr<HashAlgo>> entries,
                                                                     unsigned threads)
{
    if (!foundation::thread_pool::is_pool_thread()) co_await foundation::resume_background();
    auto reader = foundation::make<storage::DataReader>(std::move(stream));
    reader->InputStreamOptions(storage::InputStreamOptions::ReadAhead);
    ChecksumHashers hashers(entries, threads);
    if (!hashers.empty()) {
        for (auto loaded = co_await reader->LoadAsync(ChecksumReadChunk); loaded != 0;
             loaded = co_await reader->LoadAsync(ChecksumReadChunk)) {
            const auto buffer = reader->ReadBuffer(loaded);
            hashers.Update(std::span<const std::uint8_t>(buffer->data(), buffer->Length()));
            // A long read does not hold up the end of the program.
            if (foundation::ui_thread::finishing()) throw foundation::hresult_canceled();
        }
    }
    reader = nullptr;
    co_return hashers.Final();
}

void ChecksumRun::Publish()
{
    if (!m_read) return;
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        if (m_results[i]) m_entries[i]->Checksum(*m_results[i]);
    m_viewModel->FileSize(m_size);
}

}  // namespace Zintrel
