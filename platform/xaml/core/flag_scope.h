#pragma once
// Raises a flag for the length of a scope, and lowers it again also when an exception ends the
// scope: controls use it to tell their own widget updates from the user's input.

namespace xaml {

class flag_scope {
public:
    explicit flag_scope(bool& flag) noexcept : m_flag(flag), m_before(flag) { flag = true; }
    ~flag_scope() { m_flag = m_before; }
    flag_scope(const flag_scope&) = delete;
    flag_scope& operator=(const flag_scope&) = delete;

private:
    bool& m_flag;
    bool m_before;
};

}  // namespace xaml
