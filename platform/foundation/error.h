#pragma once
// The HRESULT error family: every failing platform call raises one of these.

#include "platform/foundation/hstring.h"

#include <cstdint>
#include <exception>
#include <string>

namespace foundation {

using hresult = std::int32_t;

constexpr hresult S_OK = 0;
constexpr hresult E_NOTIMPL = static_cast<hresult>(0x80004001);
constexpr hresult E_NOINTERFACE = static_cast<hresult>(0x80004002);
constexpr hresult E_POINTER = static_cast<hresult>(0x80004003);
constexpr hresult E_FAIL = static_cast<hresult>(0x80004005);
constexpr hresult E_BOUNDS = static_cast<hresult>(0x8000000B);
// Something changed under an operation and made it void (a file that changed while it was read).
constexpr hresult E_CHANGED_STATE = static_cast<hresult>(0x8000000C);
constexpr hresult E_ILLEGAL_METHOD_CALL = static_cast<hresult>(0x8000000E);
constexpr hresult E_OUTOFMEMORY = static_cast<hresult>(0x8007000E);
constexpr hresult E_INVALIDARG = static_cast<hresult>(0x80070057);
constexpr hresult E_UNEXPECTED = static_cast<hresult>(0x8000FFFF);
constexpr hresult RPC_E_WRONG_THREAD = static_cast<hresult>(0x8001010E);
constexpr hresult CLASS_E_CLASSNOTAVAILABLE = static_cast<hresult>(0x80040111);
constexpr hresult TYPE_E_TYPEMISMATCH = static_cast<hresult>(0x80028CA0);
constexpr hresult HRESULT_ERROR_CANCELLED = static_cast<hresult>(0x800704C7);
// The process runs without a package identity.
constexpr hresult APPMODEL_ERROR_NO_PACKAGE = static_cast<hresult>(0x80073D54);

// An errno value as an HRESULT of the Win32 facility, so POSIX failures travel as platform errors.
constexpr hresult hresult_from_errno(int error) noexcept
{
    return error <= 0 ? static_cast<hresult>(error)
                      : static_cast<hresult>((static_cast<std::uint32_t>(error) & 0xFFFF) | 0x80070000u);
}

class hresult_error : public std::exception {
public:
    explicit hresult_error(hresult code);
    hresult_error(hresult code, hstring message);

    hresult code() const noexcept { return m_code; }
    const hstring& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    hresult m_code;
    hstring m_message;
    std::string m_what;
};

#define FOUNDATION_HRESULT_KIND(name, value)                                 \
    class name : public hresult_error {                                      \
    public:                                                                  \
        name() : hresult_error(value) {}                                     \
        explicit name(hstring message) : hresult_error(value, std::move(message)) {} \
    };

FOUNDATION_HRESULT_KIND(hresult_no_interface, E_NOINTERFACE)
FOUNDATION_HRESULT_KIND(hresult_out_of_bounds, E_BOUNDS)
FOUNDATION_HRESULT_KIND(hresult_invalid_argument, E_INVALIDARG)
FOUNDATION_HRESULT_KIND(hresult_not_implemented, E_NOTIMPL)
FOUNDATION_HRESULT_KIND(hresult_illegal_method_call, E_ILLEGAL_METHOD_CALL)
FOUNDATION_HRESULT_KIND(hresult_wrong_thread, RPC_E_WRONG_THREAD)
FOUNDATION_HRESULT_KIND(hresult_class_not_available, CLASS_E_CLASSNOTAVAILABLE)
FOUNDATION_HRESULT_KIND(hresult_canceled, HRESULT_ERROR_CANCELLED)

#undef FOUNDATION_HRESULT_KIND

// Raises the error for a failing HRESULT.
void check_hresult(hresult code);
[[noreturn]] void throw_hresult(hresult code);

// The HRESULT of the exception being handled; call only inside a catch block.
hresult to_hresult() noexcept;

// The text that goes with an HRESULT when no message was given.
hstring hresult_text(hresult code);

}  // namespace foundation
