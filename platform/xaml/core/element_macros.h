#pragma once
// Event members in the platform's shape: Name(handler) adds and returns a token, Name(token)
// removes, Name(auto_revoke, handler) returns a revoker. The macro declares only these and leaves
// the access as it was; the class keeps the event itself, `foundation::event<Handler> m_Name`,
// where only it and its subclasses can raise it.

#include "platform/foundation/event.h"

#define XAML_EVENT(Name, Handler)                                                                        \
    foundation::event_token Name(Handler handler) { return m_##Name.add(std::move(handler)); }           \
    void Name(foundation::event_token token) { m_##Name.remove(token); }                                 \
    foundation::event_revoker Name(foundation::auto_revoke_t, Handler handler)                           \
    {                                                                                                    \
        return m_##Name.add_revoker(std::move(handler));                                                 \
    }
