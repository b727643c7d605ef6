#include "platform/appmodel/Package.h"

#include "platform/foundation/application_folder.h"

#include <QFile>
#include <QXmlStreamReader>

namespace appmodel {

namespace {

hstring from_q(const QString& text)
{
    return hstring(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

hstring package_folder_override;

}  // namespace

void set_package_folder_for_tests(hstring folder) { package_folder_override = std::move(folder); }

std::shared_ptr<Package> Package::Current()
{
    const QString folder = package_folder_override.empty()
                               ? QString::fromStdString(foundation::application_folder().string())
                               : QString::fromStdU16String(package_folder_override.str());
    QFile manifest(folder + "/" + PackageManifestName);
    if (!manifest.exists()) throw foundation::hresult_error(foundation::APPMODEL_ERROR_NO_PACKAGE);
    if (!manifest.open(QIODevice::ReadOnly))
        throw foundation::hresult_error(foundation::E_FAIL, u"Cannot read the package manifest " + from_q(manifest.fileName()));
    QXmlStreamReader xml(&manifest);
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("Identity")) {
            const auto name = xml.attributes().value("Name").toString();
            const auto version = xml.attributes().value("Version").toString();
            if (name.isEmpty()) break;
            return foundation::make<Package>(PackageId(from_q(name), from_q(version)), from_q(folder));
        }
        if (xml.name() != QLatin1String("Package")) xml.skipCurrentElement();
    }
    throw foundation::hresult_error(foundation::E_FAIL,
                                    u"The package manifest " + from_q(manifest.fileName()) + u" names no package identity");
}

}  // namespace appmodel
