#include "platform/shell/reveal.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

#include <string>

namespace shell {

struct ITEMIDLIST {
    QString path;
};

PIDLIST_ABSOLUTE ILCreateFromPathW(PCWSTR path)
{
    if (!path || !*path || path[0] != u'/') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return new ITEMIDLIST{QString::fromUtf16(path)};
}

void ILFree(PIDLIST_ABSOLUTE item) { delete item; }

namespace {

void open_folder(const QString& folder) { QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); }

}  // namespace

foundation::hresult SHOpenFolderAndSelectItems(PCIDLIST_ABSOLUTE folder, UINT count, PCUITEMID_CHILD_ARRAY items, DWORD)
{
    if (!folder || (count > 0 && !items)) return foundation::E_INVALIDARG;
    QStringList uris;
    for (UINT i = 0; i < count; ++i) {
        if (!items[i]) return foundation::E_INVALIDARG;
        uris << QUrl::fromLocalFile(items[i]->path).toString(QUrl::FullyEncoded);
    }
    const QString folderPath = folder->path;
    auto bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        open_folder(folderPath);
        return foundation::S_OK;
    }
    const bool select = !uris.isEmpty();
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
                                                       "org.freedesktop.FileManager1",
                                                       select ? "ShowItems" : "ShowFolders");
    call << (select ? uris : QStringList{QUrl::fromLocalFile(folderPath).toString(QUrl::FullyEncoded)}) << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [folderPath](QDBusPendingCallWatcher* w) {
        // No file manager took the call: open the folder at least.
        if (QDBusPendingReply<> reply = *w; reply.isError()) open_folder(folderPath);
        w->deleteLater();
    });
    return foundation::S_OK;
}

}  // namespace shell
