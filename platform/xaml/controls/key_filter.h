#pragma once
// Hands the key presses of watched widgets to a function that says whether it used them.

#include "platform/xaml/core/guard.h"

#include <QKeyEvent>
#include <QObject>

#include <functional>

namespace xaml {

class key_filter final : public QObject {
public:
    using handler = std::function<bool(QObject* watched, int key)>;
    key_filter(handler handle, QObject* parent) : QObject(parent), m_handle(std::move(handle)) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress) return false;
        bool used = false;
        guard([&] { used = m_handle(watched, static_cast<QKeyEvent*>(event)->key()); });
        return used;
    }

private:
    handler m_handle;
};

}  // namespace xaml
