#include "platform/appmodel/Package.h"

#include "platform/foundation/application_folder.h"
#include "platform/foundation/qstring.h"

#include <QFile>
#include <QXmlStreamReader>

namespace appmodel {

using foundation::from_qstring;
using foundation::to_qstring;

namespace {

hstring package_folder_override;

}  // namespace

void set_package_folder_for_tests(hstring folder) { package_folder_override = std::move(folder); }

std::shared_ptr<Package> Package::Current()
{
    const QString folder = package_folder_override.empty()
                               ? QString::fromStdString(foundation::application_folder().string())
                               : to_qstring(package_folder_override);
    QFile manifest(folder + "/" + PackageManifestName);
    if (!manifest.exists()) throw foundation::hresult_error(foundation::APPMODEL_ERROR_NO_PACKAGE);
    if (!manifest.open(QIODevice::ReadOnly))
        throw foundation::hresult_error(foundation::E_FAIL, u"Cannot read the package manifest " + from_qstring(manifest.fileName()));
    QXmlStreamReader xml(&manifest);
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("Identity")) {
            const auto name = xml.attributes().value("Name").toString();
            const auto version = xml.attributes().value("Version").toString();
            if (name.isEmpty()) break;
            return foundation::make<Package>(PackageId(from_qstring(name), from_qstring(version)), from_qstring(folder));
        }
        if (xml.name() != QLatin1String("Package")) xml.skipCurrentElement();
    }
    throw foundation::hresult_error(foundation::E_FAIL,
                                    u"The package manifest " + from_qstring(manifest.fileName()) + u" names no package identity");
}

}  // namespace appmodel
