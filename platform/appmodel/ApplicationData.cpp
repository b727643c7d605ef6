#include "platform/appmodel/ApplicationData.h"

#include "platform/appmodel/Package.h"
#include "platform/foundation/qstring.h"
#include "platform/storage/staged_file.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <mutex>
#include <span>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace appmodel {

using foundation::from_qstring;
using foundation::to_qstring;

using foundation::IInspectable;
using foundation::PropertyType;

namespace {


bool storable(const IInspectable& value, bool nested)
{
    if (!value) return false;
    if (auto composite = std::dynamic_pointer_cast<ApplicationDataCompositeValue>(value)) {
        if (nested) return false;
        for (const auto& [key, inner] : *composite)
            if (!storable(inner, true)) return false;
        return true;
    }
    auto property = foundation::try_as<foundation::IPropertyValue>(value);
    if (!property) return false;
    // JSON has no infinity or NaN: such a number would come back as null and spoil the file.
    auto finite = [](std::initializer_list<double> numbers) {
        return std::all_of(numbers.begin(), numbers.end(), [](double n) { return std::isfinite(n); });
    };
    switch (property->Type()) {
    case PropertyType::String:
    case PropertyType::UInt32:
    case PropertyType::Int32:
    case PropertyType::Int64:
    case PropertyType::Boolean: return true;
    case PropertyType::Double: return finite({property->GetDouble()});
    case PropertyType::Point: return finite({property->GetPoint().X, property->GetPoint().Y});
    case PropertyType::Size: return finite({property->GetSize().Width, property->GetSize().Height});
    case PropertyType::Rect: {
        const auto r = property->GetRect();
        return finite({r.X, r.Y, r.Width, r.Height});
    }
    default: return false;
    }
}

void check_storable(const hstring& key, const IInspectable& value, bool nested)
{
    if (!storable(value, nested))
        throw foundation::hresult_invalid_argument(u"The setting " + key + u" cannot hold a value of this kind");
}

QJsonValue encode(const IInspectable& value)
{
    if (auto composite = std::dynamic_pointer_cast<ApplicationDataCompositeValue>(value)) {
        QJsonObject entries;
        for (const auto& [key, inner] : *composite) entries.insert(to_qstring(key), encode(inner));
        return QJsonObject{{"type", "Composite"}, {"value", entries}};
    }
    const auto p = foundation::as<foundation::IPropertyValue>(value);
    switch (p->Type()) {
    case PropertyType::String: return QJsonObject{{"type", "String"}, {"value", to_qstring(p->GetString())}};
    case PropertyType::UInt32: return QJsonObject{{"type", "UInt32"}, {"value", static_cast<double>(p->GetUInt32())}};
    case PropertyType::Int32: return QJsonObject{{"type", "Int32"}, {"value", p->GetInt32()}};
    case PropertyType::Int64: return QJsonObject{{"type", "Int64"}, {"value", QString::number(p->GetInt64())}};
    case PropertyType::Double: return QJsonObject{{"type", "Double"}, {"value", p->GetDouble()}};
    case PropertyType::Boolean: return QJsonObject{{"type", "Boolean"}, {"value", p->GetBoolean()}};
    case PropertyType::Point: {
        const auto v = p->GetPoint();
        return QJsonObject{{"type", "Point"}, {"value", QJsonArray{v.X, v.Y}}};
    }
    case PropertyType::Size: {
        const auto v = p->GetSize();
        return QJsonObject{{"type", "Size"}, {"value", QJsonArray{v.Width, v.Height}}};
    }
    case PropertyType::Rect: {
        const auto v = p->GetRect();
        return QJsonObject{{"type", "Rect"}, {"value", QJsonArray{v.X, v.Y, v.Width, v.Height}}};
    }
    default: return QJsonValue();
    }
}

// The file as a whole cannot be read: it starts an empty store and is kept aside.
struct damaged {};
// One value cannot be taken (a wrong kind, or a number out of its type's range): it alone is left out.
struct refused {
    const char* reason;
};

double integer(const QJsonValue& value, double lowest, double highest)
{
    const double n = value.toDouble();
    if (!value.isDouble() || n != std::trunc(n)) throw refused{"not a whole number"};
    if (n < lowest || n > highest) throw refused{"out of range"};
    return n;
}

float number_at(const QJsonArray& array, int index)
{
    if (index >= array.size() || !array[index].isDouble()) throw refused{"not a list of numbers"};
    const double n = array[index].toDouble();
    if (!(std::abs(n) <= std::numeric_limits<float>::max())) throw refused{"out of range"};
    return static_cast<float>(n);
}

// A composite's entries are refused one by one, under the composite's name.
IInspectable decode(const QString& name, const QJsonValue& json, bool nested);

void decode_entries(const QString& prefix, const QJsonObject& entries, const std::function<void(const QString&, IInspectable)>& take)
{
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        const QString name = prefix + it.key();
        try {
            take(it.key(), decode(name, it.value(), !prefix.isEmpty()));
        } catch (const refused& r) {
            std::fprintf(stderr, "zintrel: setting %s left out: %s\n", name.toUtf8().constData(), r.reason);
        }
    }
}

IInspectable decode(const QString& name, const QJsonValue& json, bool nested)
{
    const QJsonObject object = json.toObject();
    const QString type = object.value("type").toString();
    const QJsonValue value = object.value("value");
    using foundation::PropertyValue;
    if (type == "String" && value.isString()) return PropertyValue::CreateString(from_qstring(value.toString()));
    if (type == "UInt32") return PropertyValue::CreateUInt32(static_cast<std::uint32_t>(integer(value, 0, 4294967295.0)));
    if (type == "Int32") return PropertyValue::CreateInt32(static_cast<std::int32_t>(integer(value, -2147483648.0, 2147483647.0)));
    if (type == "Int64" && value.isString()) {
        bool ok = false;
        const auto number = value.toString().toLongLong(&ok);
        if (!ok) throw refused{"out of range"};
        return PropertyValue::CreateInt64(number);
    }
    if (type == "Double" && value.isDouble() && std::isfinite(value.toDouble())) return PropertyValue::CreateDouble(value.toDouble());
    if (type == "Boolean" && value.isBool()) return PropertyValue::CreateBoolean(value.toBool());
    if (type == "Point" && value.isArray())
        return PropertyValue::CreatePoint({number_at(value.toArray(), 0), number_at(value.toArray(), 1)});
    if (type == "Size" && value.isArray())
        return PropertyValue::CreateSize({number_at(value.toArray(), 0), number_at(value.toArray(), 1)});
    if (type == "Rect" && value.isArray()) {
        const auto a = value.toArray();
        return PropertyValue::CreateRect({number_at(a, 0), number_at(a, 1), number_at(a, 2), number_at(a, 3)});
    }
    if (type == "Composite" && value.isObject() && !nested) {
        auto composite = foundation::make<ApplicationDataCompositeValue>();
        decode_entries(name + '.', value.toObject(), [&](const QString& key, IInspectable v) { composite->Insert(from_qstring(key), v); });
        return composite;
    }
    throw refused{"not a value of a known kind"};
}

std::string config_folder()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.config";
}

}  // namespace

void ApplicationDataCompositeValue::check_value(const hstring& key, const IInspectable& value) const
{
    check_storable(key, value, true);
}

// The values and version in memory, and their file.
class settings_store : public std::enable_shared_from_this<settings_store> {
public:
    explicit settings_store(std::string folder) : m_folder(std::move(folder)), m_path(m_folder + "/settings.json") {}

    void load(const std::shared_ptr<foundation::PropertySet>& values)
    {
        m_values = values;
        QByteArray bytes;
        if (const int error = read_file(bytes); error == ENOENT) {
            return;  // a first start
        } else if (error == not_regular) {
            m_unreadable = true;
            std::fprintf(stderr, "zintrel: settings file %s is not a regular file; it is left as it is and settings are not saved\n",
                         m_path.c_str());
            return;
        } else if (error != 0) {
            // Nothing is known of what it holds: it stays, and nothing is written over it.
            m_unreadable = true;
            std::fprintf(stderr, "zintrel: settings file %s cannot be read (%s); it is left as it is and settings are not saved\n",
                         m_path.c_str(), std::strerror(error));
            return;
        }
        try {
            QJsonParseError error{};
            const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
            if (error.error != QJsonParseError::NoError || !document.isObject()) throw damaged{};
            const QJsonObject root = document.object();
            if (!root.value("values").isObject()) throw damaged{};
            std::vector<std::pair<hstring, IInspectable>> decoded;
            decode_entries({}, root.value("values").toObject(),
                           [&](const QString& key, IInspectable value) { decoded.emplace_back(from_qstring(key), std::move(value)); });
            m_loading = true;
            for (auto& [key, value] : decoded) values->Insert(key, value);
            m_loading = false;
            if (const QJsonValue version = root.value("version"); !version.isUndefined()) {
                try {
                    m_version = static_cast<std::uint32_t>(integer(version, 0, 4294967295.0));
                } catch (const refused& r) {
                    std::fprintf(stderr, "zintrel: settings version left out: %s\n", r.reason);
                }
            }
        } catch (const damaged&) {
            m_loading = false;
            values->Clear();
            keep_aside();
        }
    }

    std::uint32_t version() const
    {
        std::lock_guard lock(m_mutex);
        return m_version;
    }

    void set_version(std::uint32_t version)
    {
        {
            std::lock_guard lock(m_mutex);
            m_version = version;
        }
        // The values belong to the UI thread: the file is written there.
        if (foundation::ui_thread::available() && !foundation::ui_thread::is_current()) {
            auto self = shared_from_this();
            if (foundation::ui_thread::post([self] { self->save(); })) return;
        }
        save();
    }

    void save()
    {
        if (m_loading || m_unreadable || !m_values) return;
        QJsonObject entries;
        for (const auto& [key, value] : *m_values) entries.insert(to_qstring(key), encode(value));
        std::uint32_t version;
        {
            std::lock_guard lock(m_mutex);
            version = m_version;
        }
        const QByteArray bytes =
            QJsonDocument(QJsonObject{{"version", static_cast<double>(version)}, {"values", entries}}).toJson();
        std::lock_guard lock(m_fileMutex);
        if (const std::string problem = write_atomically(bytes); !problem.empty()) {
            // The values stay in memory; the program goes on without persisting them.
            if (problem != m_lastProblem) std::fprintf(stderr, "zintrel: settings not saved: %s\n", problem.c_str());
            m_lastProblem = problem;
        } else {
            m_lastProblem.clear();
        }
    }

    const std::string& path() const noexcept { return m_path; }

private:
    // What read_file says of a pipe, a device or a socket.
    static constexpr int not_regular = -1;

    // The whole file, or the errno of what stopped reading it. A pipe or a device would make the
    // start wait for a writer: the file is opened without waiting and read only when regular.
    int read_file(QByteArray& bytes) const
    {
        const int fd = ::open(m_path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) return errno;
        struct stat status{};
        const int error = ::fstat(fd, &status) != 0 ? errno
                          : S_ISREG(status.st_mode) ? 0
                          : S_ISDIR(status.st_mode) ? EISDIR
                                                    : not_regular;
        if (error != 0) {
            ::close(fd);
            return error;
        }
        char chunk[8192];
        for (;;) {
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                const int error = n < 0 ? errno : 0;
                ::close(fd);
                return error;
            }
            bytes.append(chunk, static_cast<qsizetype>(n));
        }
    }

    // Where the file really lives: a settings file that is a symbolic link (kept with other
    // dotfiles) is replaced at the end of its links, so the links stay.
    std::string target() const
    {
        std::string path = m_path;
        for (int hops = 0; hops < 40; ++hops) {
            char link[PATH_MAX];
            const ssize_t n = ::readlink(path.c_str(), link, sizeof link);
            if (n <= 0 || static_cast<std::size_t>(n) == sizeof link) break;  // not a link: here it is
            std::string next(link, static_cast<std::size_t>(n));
            path = next.front() == '/' ? next : path.substr(0, path.rfind('/') + 1) + next;
        }
        return path;
    }

    // The new file has no name until it is whole and flushed, then takes the old one's place at
    // once: a crash, a kill or a full disk leaves the old file or the new one, and no other file.
    std::string write_atomically(const QByteArray& bytes)
    {
        if (!make_folders()) return m_folder + ": " + std::strerror(errno);
        // A pipe or a device put in the file's place since the start is someone's: it stays.
        const std::string destination = target();
        struct stat existing{};
        if (::stat(destination.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode) && !S_ISDIR(existing.st_mode))
            return destination + " is not a regular file";
        try {
            storage::staged_file file(destination, storage::file_access::owner_only);
            file.write(std::as_bytes(std::span(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
            file.commit();
        } catch (const std::system_error& e) {
            return e.what();
        }
        return {};
    }

    bool make_folders()
    {
        for (std::size_t at = 1; at <= m_folder.size(); ++at) {
            if (at != m_folder.size() && m_folder[at] != '/') continue;
            const std::string part = m_folder.substr(0, at);
            if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        }
        return true;
    }

    // Moves the damaged file to a name of its own: the time, and a number when that time is taken.
    void keep_aside()
    {
        const std::string path = target();
        const std::string stamped =
            path + ".damaged-" + QDateTime::currentDateTimeUtc().toString("yyyyMMddTHHmmss").toStdString();
        for (int n = 1; n < 1000; ++n) {
            const std::string aside = n == 1 ? stamped : stamped + "-" + std::to_string(n);
            int moved = ::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE);
            if (moved != 0 && (errno == EINVAL || errno == ENOSYS)) {
                // A file system that cannot refuse to replace: look first.
                struct stat taken;
                if (::lstat(aside.c_str(), &taken) == 0) continue;
                moved = ::rename(path.c_str(), aside.c_str());
            }
            if (moved == 0) {
                std::fprintf(stderr, "zintrel: settings file could not be read; kept as %s\n", aside.c_str());
                return;
            }
            if (errno != EEXIST) break;
        }
        std::fprintf(stderr, "zintrel: settings file %s could not be read; starting with defaults\n", m_path.c_str());
    }

    std::string m_folder;
    std::string m_path;
    std::shared_ptr<foundation::PropertySet> m_values;
    mutable std::mutex m_mutex;
    std::mutex m_fileMutex;
    std::uint32_t m_version = 0;
    bool m_loading = false;
    bool m_unreadable = false;
    std::string m_lastProblem;
};

namespace {

// The container's values: storable kinds only, saved after every change.
class settings_values final : public foundation::PropertySet {
public:
    hstring GetRuntimeClassName() const override { return u"Windows.Storage.ApplicationDataContainerSettings"; }

protected:
    void check_value(const hstring& key, const IInspectable& value) const override { check_storable(key, value, false); }
};

std::mutex current_mutex;
std::shared_ptr<ApplicationData> current;
std::shared_ptr<ApplicationDataContainer> local_settings;

}  // namespace

ApplicationData::ApplicationData(std::shared_ptr<settings_store> store) : m_store(std::move(store)) {}

std::shared_ptr<ApplicationData> ApplicationData::Current()
{
    std::lock_guard lock(current_mutex);
    if (current) return current;
    Package::Current();  // no package identity: no application data
    auto values = foundation::make<settings_values>();
    auto store = std::make_shared<settings_store>(config_folder() + "/zintrel");
    store->load(values);
    std::weak_ptr<settings_store> weak = store;
    values->MapChanged([weak](const auto&, const auto&) {
        if (auto s = weak.lock()) s->save();
    });
    local_settings = foundation::make<ApplicationDataContainer>(values);
    current = foundation::make<ApplicationData>(store);
    return current;
}

std::shared_ptr<ApplicationDataContainer> ApplicationData::LocalSettings() const
{
    std::lock_guard lock(current_mutex);
    return local_settings;
}

std::uint32_t ApplicationData::Version() const { return m_store->version(); }

hstring ApplicationData::settings_path() const { return hstring(from_qstring(QString::fromStdString(m_store->path()))); }

foundation::IAsyncAction ApplicationData::SetVersionAsync(std::uint32_t desiredVersion, ApplicationDataSetVersionHandler handler)
{
    foundation::async_source<void> done;
    auto store = m_store;
    if (!foundation::thread_pool::submit([store, desiredVersion, handler, done] {
            try {
                if (handler) handler(SetVersionRequest(store->version(), desiredVersion));
                store->set_version(desiredVersion);
                done.complete();
            } catch (...) {
                done.fail(std::current_exception());
            }
        }))
        done.fail(std::make_exception_ptr(foundation::hresult_error(foundation::E_OUTOFMEMORY)));
    return done.operation();
}

void reset_application_data_for_tests()
{
    std::lock_guard lock(current_mutex);
    current.reset();
    local_settings.reset();
}

}  // namespace appmodel
