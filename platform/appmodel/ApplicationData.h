#pragma once
// Application data: local settings that persist between runs of the program.
//
// Values live in a file under the user's configuration folder ($XDG_CONFIG_HOME, else
// ~/.config), rewritten atomically after every change (at the end of its links when it is a
// symbolic link). A damaged file starts an empty store and is kept aside for inspection; a value
// out of its type's range is left out alone; a file that cannot be read at all, or that is a pipe
// or a device, is left as it is and nothing is saved over it. Only a process with a package
// identity has application data.

#include "platform/foundation/async.h"
#include "platform/foundation/collections.h"

#include <functional>

namespace appmodel {

using foundation::hstring;

// Settings values of their own: strings, numbers, Booleans, points, sizes, rectangles and
// composite values of those.
class ApplicationDataCompositeValue : public foundation::PropertySet {
public:
    hstring GetRuntimeClassName() const override { return u"Windows.Storage.ApplicationDataCompositeValue"; }

protected:
    void check_value(const hstring& key, const foundation::IInspectable& value) const override;
};

class ApplicationDataContainer final : public foundation::Object {
public:
    explicit ApplicationDataContainer(std::shared_ptr<foundation::PropertySet> values) : m_values(std::move(values)) {}
    hstring GetRuntimeClassName() const override { return u"Windows.Storage.ApplicationDataContainer"; }
    hstring Name() const { return u""; }
    const std::shared_ptr<foundation::PropertySet>& Values() const noexcept { return m_values; }

private:
    std::shared_ptr<foundation::PropertySet> m_values;
};

class SetVersionRequest {
public:
    SetVersionRequest(std::uint32_t current, std::uint32_t desired) : m_current(current), m_desired(desired) {}
    std::uint32_t CurrentVersion() const noexcept { return m_current; }
    std::uint32_t DesiredVersion() const noexcept { return m_desired; }

private:
    std::uint32_t m_current, m_desired;
};

using ApplicationDataSetVersionHandler = std::function<void(const SetVersionRequest&)>;

class settings_store;

class ApplicationData final : public foundation::Object {
public:
    explicit ApplicationData(std::shared_ptr<settings_store> store);
    hstring GetRuntimeClassName() const override { return u"Windows.Storage.ApplicationData"; }

    // The process's application data; fails like Package::Current without a package identity.
    static std::shared_ptr<ApplicationData> Current();

    std::shared_ptr<ApplicationDataContainer> LocalSettings() const;
    std::uint32_t Version() const;
    // Runs the handler on a pool thread (also when the version is the same), then records the version.
    foundation::IAsyncAction SetVersionAsync(std::uint32_t desiredVersion, ApplicationDataSetVersionHandler handler);

    // The file the values live in.
    hstring settings_path() const;

private:
    std::shared_ptr<settings_store> m_store;
};

// Test hook: forget the process's store so that the next Current() reads the file again.
void reset_application_data_for_tests();

}  // namespace appmodel
