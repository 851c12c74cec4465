#include "window/FileDialogPlatform.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include <shobjidl.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/Failure.h"

namespace kestrane {

namespace {

// A COM interface, released when it goes.
template <typename Interface>
struct Com {
    Interface *p = nullptr;
    Com() = default;
    Com(const Com &) = delete;
    Com &operator=(const Com &) = delete;
    ~Com()
    {
        if (p != nullptr)
            p->Release();
    }
    Interface *operator->() const { return p; }
};

void check(HRESULT result)
{
    if (FAILED(result))
        throw Failure(InvalidProcedureCall, "The file dialog failed: " + std::to_string(unsigned(result)));
}

std::wstring wide(const QString &text)
{
    return QDir::toNativeSeparators(text).toStdWString();
}

} // namespace

// Windows' own dialog, run here rather than through Qt: Qt blocks the window
// behind a stand-in for the system's dialog, and when the dialog closes and
// Windows activates its owner, Qt -- still blocked for a moment -- hands the
// activation on to that stand-in, which is never shown. The keyboard then
// reaches no window until the operator clicks on ours. The system's dialog by
// itself disables its owner while it runs and gives it the activation back
// as it closes, as every Windows program's does.
//
// It adds the extension before it asks about replacing a file. With no
// folder named it is given none, and opens the folder it remembers for this
// program, else the user's Documents -- never the current folder, which under
// a shortcut without a working folder is often System32.
std::optional<QString> showPlatformFileDialog(const FileDialogRequest &request, QWidget *owner)
{
    const bool save = request.kind == FileDialogKind::Save;
    Com<IFileDialog> dialog;
    check(CoCreateInstance(save ? CLSID_FileSaveDialog : CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                           IID_IFileDialog, reinterpret_cast<void **>(&dialog.p)));
    check(dialog->SetTitle(save ? L"Save As" : L"Open"));
    // The chosen file need not exist; its folder must. The program's current
    // folder stays as it is.
    FILEOPENDIALOGOPTIONS options = FOS_PATHMUSTEXIST | FOS_FORCEFILESYSTEM | FOS_NOCHANGEDIR;
    if (save)
        options |= FOS_NOREADONLYRETURN | (request.confirmOverwrite ? FOS_OVERWRITEPROMPT : 0);
    check(dialog->SetOptions(options));

    // "Data Files (*.dat *.DAT)": shown as it is, matching "*.dat;*.DAT".
    std::vector<std::wstring> names, specs;
    for (const QString &filter : request.nameFilters) {
        names.push_back(filter.toStdWString());
        specs.push_back(filter.section(u'(', -1).chopped(1).replace(u' ', u';').toStdWString());
    }
    std::vector<COMDLG_FILTERSPEC> types;
    for (std::size_t i = 0; i < names.size(); ++i)
        types.push_back({names[i].c_str(), specs[i].c_str()});
    if (!types.empty())
        check(dialog->SetFileTypes(UINT(types.size()), types.data()));
    if (!request.defaultSuffix.isEmpty())
        check(dialog->SetDefaultExtension(request.defaultSuffix.toStdWString().c_str()));
    if (!request.folder.isEmpty()) {
        Com<IShellItem> folder;
        if (SUCCEEDED(SHCreateItemFromParsingName(wide(request.folder).c_str(), nullptr, IID_IShellItem,
                                                  reinterpret_cast<void **>(&folder.p))))
            check(dialog->SetFolder(folder.p));
    }
    if (!request.fileName.isEmpty())
        check(dialog->SetFileName(QFileInfo(request.fileName).fileName().toStdWString().c_str()));

    const HRESULT shown = dialog->Show(owner != nullptr ? reinterpret_cast<HWND>(owner->winId()) : nullptr);
    if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED))
        return std::nullopt;
    check(shown);
    Com<IShellItem> chosen;
    check(dialog->GetResult(&chosen.p));
    wchar_t *path = nullptr;
    check(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path));
    const QString result = QDir::fromNativeSeparators(QString::fromWCharArray(path));
    CoTaskMemFree(path);
    return result;
}

} // namespace kestrane
