#include "platform/foundation/error.h"

#include "platform/foundation/utf.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>

namespace foundation {

namespace {

std::string describe(hresult code, const hstring& message)
{
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08x", static_cast<unsigned>(code));
    return to_narrow(message) + " (" + hex + ")";
}

}  // namespace

hstring hresult_text(hresult code)
{
    switch (static_cast<std::uint32_t>(code)) {
    case 0x80004001: return u"Not implemented";
    case 0x80004002: return u"No such interface supported";
    case 0x80004003: return u"Invalid pointer";
    case 0x80004005: return u"Unspecified error";
    case 0x8000000B: return u"The index is out of bounds";
    case 0x8000000E: return u"A method was called at an unexpected time";
    case 0x8007000E: return u"Not enough memory";
    case 0x80070057: return u"The parameter is incorrect";
    case 0x8000FFFF: return u"Catastrophic failure";
    case 0x8001010E: return u"The object was used on a thread that does not own it";
    case 0x80040111: return u"No such class is registered";
    case 0x80028CA0: return u"The value is of another type";
    case 0x800704C7: return u"The operation was cancelled";
    case 0x80073D54: return u"The process has no package identity";
    default: break;
    }
    if ((static_cast<std::uint32_t>(code) & 0xFFFF0000u) == 0x80070000u) {
        // Our POSIX failures: the low word is the errno value.
        return utf::utf8_to_utf16(std::strerror(static_cast<int>(code & 0xFFFF)));
    }
    return u"Unknown error";
}

hresult_error::hresult_error(hresult code) : hresult_error(code, hresult_text(code)) {}

hresult_error::hresult_error(hresult code, hstring message)
    : m_code(code), m_message(std::move(message)), m_what(describe(m_code, m_message))
{
}

void check_hresult(hresult code)
{
    if (code < 0) throw_hresult(code);
}

void throw_hresult(hresult code)
{
    switch (code) {
    case E_NOINTERFACE: throw hresult_no_interface();
    case E_BOUNDS: throw hresult_out_of_bounds();
    case E_INVALIDARG: throw hresult_invalid_argument();
    case E_NOTIMPL: throw hresult_not_implemented();
    case E_ILLEGAL_METHOD_CALL: throw hresult_illegal_method_call();
    case RPC_E_WRONG_THREAD: throw hresult_wrong_thread();
    case CLASS_E_CLASSNOTAVAILABLE: throw hresult_class_not_available();
    case HRESULT_ERROR_CANCELLED: throw hresult_canceled();
    case E_OUTOFMEMORY: throw std::bad_alloc();
    default: throw hresult_error(code);
    }
}

hresult to_hresult() noexcept
{
    try {
        throw;
    } catch (const hresult_error& e) {
        return e.code();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::out_of_range&) {
        return E_BOUNDS;
    } catch (const std::invalid_argument&) {
        return E_INVALIDARG;
    } catch (...) {
        return E_FAIL;
    }
}

}  // namespace foundation
