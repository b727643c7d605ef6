#pragma once
// Event members in the platform's shape: Name(handler) adds and returns a token, Name(token)
// removes, Name(auto_revoke, handler) returns a revoker.

#include "platform/foundation/event.h"

#define XAML_EVENT(Name, Handler)                                                                        \
public:                                                                                                  \
    foundation::event_token Name(Handler handler) { return m_##Name.add(std::move(handler)); }           \
    void Name(foundation::event_token token) { m_##Name.remove(token); }                                 \
    foundation::event_revoker Name(foundation::auto_revoke_t, Handler handler)                           \
    {                                                                                                    \
        return m_##Name.add_revoker(std::move(handler));                                                 \
    }                                                                                                    \
                                                                                                         \
protected:                                                                                               \
    foundation::event<Handler> m_##Name;                                                                 \
                                                                                                         \
public:
