// Shell services over COM shell links and the association API.
#include "services/shell.h"

#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "core/install.h"
#include "services/process.h"

namespace {

const int kAssocRoom = 2048;

const CLSID kClsidShellLink = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIidShellLinkW = {0x000214F9, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIidPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

HRESULT QueryExecutable(const WChar* association, GString& out, DWORD* cchRoom)
{
    out.ClearWide();
    WChar* tail = out.WideTail(int(*cchRoom));
    if (tail == nullptr)
        return E_OUTOFMEMORY;
    tail[0] = 0;
    HRESULT hr = AssocQueryStringW(0, ASSOCSTR_EXECUTABLE, association, nullptr, tail, cchRoom);
    out.SetLength(SUCCEEDED(hr) ? -1 : 0);
    return hr;
}

}  // namespace

int CreateShortcut(const WChar* target, const WChar* linkPath, const WChar* description, const WChar* icon,
                   int iconIndex)
{
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, kIidShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return 0;
    link->SetPath(target);
    link->SetDescription(description);
    if (icon != nullptr)
        link->SetIconLocation(icon, iconIndex);
    IPersistFile* file = nullptr;
    int ok = 0;
    if (SUCCEEDED(link->QueryInterface(kIidPersistFile, reinterpret_cast<void**>(&file)))) {
        file->Save(linkPath, TRUE);
        file->Release();
        ok = 1;
    }
    link->Release();
    return ok;
}

int QueryAssocExecutable(CInstallBase& app, TextId association, GString& out)
{
    out.ClearWide();
    GString name;
    if (!app.GetText(association, name))
        return 0;
    DWORD cchRoom = kAssocRoom;
    return SUCCEEDED(QueryExecutable(name.WideAt(0), out, &cchRoom));
}

int LaunchAssociated(CInstallBase& app, TextId association, TextId format, const WChar* argument)
{
    GString executable;
    if (!QueryAssocExecutable(app, association, executable))
        return 0;
    return RunCommand(app, format, executable.WideAt(0), argument);
}

int AssocExecutableContains(CInstallBase& app, TextId association, TextId needle)
{
    GString name;
    if (!app.GetText(association, name))
        return 0;
    GString path;
    DWORD cchRoom = kAssocRoom;
    // For a path longer than the first room the platform reports the size
    // it needs; the second query then has that room.
    if (QueryExecutable(name.WideAt(0), path, &cchRoom) != E_POINTER)
        cchRoom = kAssocRoom;
    if (FAILED(QueryExecutable(name.WideAt(0), path, &cchRoom)))
        return 0;
    path.ToUpper();
    if (!app.GetText(needle, app.ScratchText))
        return 0;
    return path.FindWide(app.ScratchText.WideAt(0), 0, app.ScratchText.Length()) >= 0;
}
