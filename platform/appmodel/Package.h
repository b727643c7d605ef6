#pragma once
// Package identity: the process has one when it runs from an installed package, that is when a
// package manifest lies in the application's folder (foundation::application_folder).

#include "platform/foundation/object.h"

namespace appmodel {

using foundation::hstring;

// The manifest's file name in the application's folder.
inline constexpr char PackageManifestName[] = "AppxManifest.xml";

class PackageId {
public:
    PackageId(hstring name, hstring version) : m_name(std::move(name)), m_version(std::move(version)) {}
    const hstring& Name() const noexcept { return m_name; }
    const hstring& Version() const noexcept { return m_version; }

private:
    hstring m_name, m_version;
};

class Package final : public foundation::Object {
public:
    Package(PackageId id, hstring installedPath) : m_id(std::move(id)), m_path(std::move(installedPath)) {}
    hstring GetRuntimeClassName() const override { return u"Windows.ApplicationModel.Package"; }

    // The package the process runs from; fails with APPMODEL_ERROR_NO_PACKAGE (0x80073D54)
    // without one, and with an error naming the file for a manifest that cannot be read.
    static std::shared_ptr<Package> Current();

    const PackageId& Id() const noexcept { return m_id; }
    const hstring& InstalledPath() const noexcept { return m_path; }

private:
    PackageId m_id;
    hstring m_path;
};

// Test hook: look for the manifest in this folder instead (empty: the executable's again).
void set_package_folder_for_tests(hstring folder);

}  // namespace appmodel
