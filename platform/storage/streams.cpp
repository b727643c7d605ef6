#include "platform/storage/streams.h"

#include <algorithm>
#include <cstring>

namespace storage {

void Buffer::Length(std::uint32_t value)
{
    if (value > Capacity()) throw foundation::hresult_invalid_argument(u"The length exceeds the buffer's capacity");
    m_length = value;
}

foundation::IAsyncOperation<std::shared_ptr<Buffer>> InMemoryRandomAccessStream::ReadAsync(std::shared_ptr<Buffer> buffer,
                                                                                           std::uint32_t count,
                                                                                           InputStreamOptions)
{
    if (!buffer) throw foundation::hresult_invalid_argument(u"The buffer is null");
    if (count > buffer->Capacity()) throw foundation::hresult_invalid_argument(u"The count exceeds the buffer's capacity");
    const std::uint64_t available = m_position < m_bytes.size() ? m_bytes.size() - m_position : 0;
    const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(count, available));
    if (n > 0) std::memcpy(buffer->data(), m_bytes.data() + m_position, n);
    m_position += n;
    buffer->Length(n);
    foundation::async_source<std::shared_ptr<Buffer>> source;
    source.complete(buffer);
    return source.operation();
}

}  // namespace storage
