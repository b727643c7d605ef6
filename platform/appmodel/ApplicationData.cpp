#include "platform/appmodel/ApplicationData.h"

#include "platform/appmodel/Package.h"
#include "platform/foundation/qstring.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
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
    switch (property->Type()) {
    case PropertyType::String:
    case PropertyType::UInt32:
    case PropertyType::Int32:
    case PropertyType::Int64:
    case PropertyType::Double:
    case PropertyType::Boolean:
    case PropertyType::Point:
    case PropertyType::Size:
    case PropertyType::Rect: return true;
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

struct damaged {};

float number_at(const QJsonArray& array, int index)
{
    if (index >= array.size() || !array[index].isDouble()) throw damaged{};
    return static_cast<float>(array[index].toDouble());
}

IInspectable decode(const QJsonValue& json, bool nested)
{
    const QJsonObject object = json.toObject();
    const QString type = object.value("type").toString();
    const QJsonValue value = object.value("value");
    using foundation::PropertyValue;
    if (type == "String" && value.isString()) return PropertyValue::CreateString(from_qstring(value.toString()));
    if (type == "UInt32" && value.isDouble() && value.toDouble() >= 0 && value.toDouble() <= 4294967295.0)
        return PropertyValue::CreateUInt32(static_cast<std::uint32_t>(value.toDouble()));
    if (type == "Int32" && value.isDouble()) return PropertyValue::CreateInt32(value.toInt());
    if (type == "Int64" && value.isString()) {
        bool ok = false;
        const auto number = value.toString().toLongLong(&ok);
        if (ok) return PropertyValue::CreateInt64(number);
    }
    if (type == "Double" && value.isDouble()) return PropertyValue::CreateDouble(value.toDouble());
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
        const QJsonObject entries = value.toObject();
        for (auto it = entries.begin(); it != entries.end(); ++it) composite->Insert(from_qstring(it.key()), decode(it.value(), true));
        return composite;
    }
    throw damaged{};
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
        std::FILE* file = std::fopen(m_path.c_str(), "rb");
        if (!file) return;  // a first start
        QByteArray bytes;
        char chunk[8192];
        std::size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, static_cast<qsizetype>(n));
        const bool readError = std::ferror(file);
        std::fclose(file);
        try {
            if (readError) throw damaged{};
            QJsonParseError error{};
            const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
            if (error.error != QJsonParseError::NoError || !document.isObject()) throw damaged{};
            const QJsonObject root = document.object();
            if (!root.value("values").isObject()) throw damaged{};
            std::vector<std::pair<hstring, IInspectable>> decoded;
            const QJsonObject entries = root.value("values").toObject();
            for (auto it = entries.begin(); it != entries.end(); ++it) decoded.emplace_back(from_qstring(it.key()), decode(it.value(), false));
            m_loading = true;
            for (auto& [key, value] : decoded) values->Insert(key, value);
            m_loading = false;
            m_version = static_cast<std::uint32_t>(root.value("version").toDouble(0));
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
        if (m_loading || !m_values) return;
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
    // Writes a temporary file beside the real one, flushes it to the disk, then renames it over
    // the real one: a crash or a full disk leaves the old file or the new one, never half of one.
    std::string write_atomically(const QByteArray& bytes)
    {
        if (!make_folders()) return m_folder + ": " + std::strerror(errno);
        std::string temporary = m_path + ".XXXXXX";
        const int fd = mkstemp(temporary.data());
        if (fd < 0) return m_folder + ": " + std::strerror(errno);
        const char* data = bytes.constData();
        std::size_t left = static_cast<std::size_t>(bytes.size());
        while (left > 0) {
            const ssize_t written = ::write(fd, data, left);
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) {
                const std::string reason = std::strerror(written < 0 ? errno : ENOSPC);
                ::close(fd);
                ::unlink(temporary.c_str());
                return temporary + ": " + reason;
            }
            data += written;
            left -= static_cast<std::size_t>(written);
        }
        if (::fsync(fd) != 0 || ::close(fd) != 0) {
            const std::string reason = std::strerror(errno);
            ::unlink(temporary.c_str());
            return temporary + ": " + reason;
        }
        if (::rename(temporary.c_str(), m_path.c_str()) != 0) {
            const std::string reason = std::strerror(errno);
            ::unlink(temporary.c_str());
            return m_path + ": " + reason;
        }
        if (const int dir = ::open(m_folder.c_str(), O_RDONLY | O_DIRECTORY); dir >= 0) {
            ::fsync(dir);
            ::close(dir);
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

    void keep_aside()
    {
        const std::string aside =
            m_path + ".damaged-" + QDateTime::currentDateTimeUtc().toString("yyyyMMddTHHmmss").toStdString();
        if (::rename(m_path.c_str(), aside.c_str()) == 0)
            std::fprintf(stderr, "zintrel: settings file could not be read; kept as %s\n", aside.c_str());
        else
            std::fprintf(stderr, "zintrel: settings file %s could not be read; starting with defaults\n", m_path.c_str());
    }

    std::string m_folder;
    std::string m_path;
    std::shared_ptr<foundation::PropertySet> m_values;
    mutable std::mutex m_mutex;
    std::mutex m_fileMutex;
    std::uint32_t m_version = 0;
    bool m_loading = false;
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
