// The system services on the real platform (Wine): registry round trips and
// type checks in a sandbox key, file operations in a scratch folder, shell
// links, associations and command starts.
//
// The program doubles as its own helper: started with --mark FILE it only
// creates FILE, which shows whether a command really ran.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "core/install.h"
#include "payload/payload.h"
#include "services/files.h"
#include "services/process.h"
#include "services/registry.h"
#include "services/shell.h"

namespace {

const TextId kMissingText = TextId(9999);

CInstall* g_app;

}  // namespace

// Shared with the probe tests of this program.
CInstall* g_services_app;

namespace {

// GString has no copy: the tests declare one and fill it.
#define WIDE(name, text) \
    GString name;        \
    name.AssignWide(text, -1)

std::wstring Str(GString& s)
{
    const wchar_t* p = s.ToWide(-1);
    return p ? std::wstring(p, s.Length()) : std::wstring(L"<null>");
}

std::wstring Text(TextId id)
{
    GString s;
    EXPECT_TRUE(g_app->GetText(id, s)) << int(id);
    return Str(s);
}

// A registry key of this test's own, removed with everything under it.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        wsprintfW(path, L"Software\\KreskaServicesTest%lu", GetCurrentProcessId());
        key = CreateKey(HKEY_CURRENT_USER, path, KEY_ALL_ACCESS);
        ASSERT_NE(key, nullptr);
    }
    void TearDown() override
    {
        RegCloseKey(key);
        SHDeleteKeyW(HKEY_CURRENT_USER, path);
    }
    void Raw(const wchar_t* name, DWORD type, const void* data, DWORD cb)
    {
        ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), cb), ERROR_SUCCESS);
    }
    DWORD SubkeyCount()
    {
        DWORD count = 0;
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr);
        return count;
    }
    wchar_t path[80];
    HKEY key = nullptr;
};

TEST_F(RegistryTest, StringsRoundTrip)
{
    std::wstring longText(700, L'x');
    const wchar_t* cases[] = {L"", L"a", L"Za\x017C\x00F3\x0142\x0107 g\x0119\x015Bl\x0105 ja\x017A\x0144",
                              longText.c_str()};
    for (const wchar_t* text : cases) {
        WIDE(written, text);
        ASSERT_TRUE(SetStringValue(key, L"s", written));
        DWORD cb = 0;
        RegQueryValueExW(key, L"s", nullptr, nullptr, nullptr, &cb);
        EXPECT_EQ(cb, (wcslen(text) + 1) * 2) << "terminator stored";
        WIDE(read, L"previous");
        ASSERT_TRUE(QueryStringValue(key, L"s", read));
        EXPECT_EQ(Str(read), std::wstring(text));
        EXPECT_TRUE(StringValueEquals(key, L"s", written));
    }
    // A narrow string is written in its wide form.
    GString narrow;
    narrow.AssignNarrow("\xC5\xBC", -1, 0);
    ASSERT_TRUE(SetStringValue(key, L"n", narrow));
    GString read;
    ASSERT_TRUE(QueryStringValue(key, L"n", read));
    EXPECT_EQ(Str(read), std::wstring(L"\x017C"));
}

TEST_F(RegistryTest, StringWithoutTerminatorReadsSafely)
{
    // Windows returns the stored 8 bytes, whose last character then counts as
    // the terminator ("abc"); Wine reports the value as if terminated
    // ("abcd"). Either way the string ends inside the value and is terminated.
    Raw(L"raw", REG_SZ, L"abcd", 8);
    GString read;
    ASSERT_TRUE(QueryStringValue(key, L"raw", read));
    std::wstring text = Str(read);
    EXPECT_TRUE(text == L"abc" || text == L"abcd") << text.size();
    EXPECT_EQ(read.WideAt(0)[read.Length()], 0);
}

TEST_F(RegistryTest, StringComparisonIsExact)
{
    WIDE(value, L"Kreska");
    ASSERT_TRUE(SetStringValue(key, L"s", value));
    WIDE(upper, L"KRESKA");
    WIDE(longer, L"Kreska ");
    EXPECT_TRUE(StringValueEquals(key, L"s", value));
    EXPECT_FALSE(StringValueEquals(key, L"s", upper));
    EXPECT_FALSE(StringValueEquals(key, L"s", longer));
    EXPECT_FALSE(StringValueEquals(key, L"missing", value));
}

TEST_F(RegistryTest, DwordsAndBinariesRoundTrip)
{
    for (uint32_t v : {0u, 1u, 0x80000000u, 0xFFFFFFFFu}) {
        ASSERT_TRUE(SetDwordValue(key, L"d", v));
        uint32_t read = 12345;
        ASSERT_TRUE(QueryDwordValue(key, L"d", read));
        EXPECT_EQ(read, v);
    }
    const uint8_t bytes[] = {0, 0, 0, 0, 2, 0, 0, 0, 0x3A, 0, 0x46, 0, 0, 0, 0, 0, 0xFF};
    ASSERT_TRUE(SetBinaryValue(key, L"b", bytes, sizeof bytes));
    uint32_t cb = 99;
    uint8_t* read = QueryBinaryValue(key, L"b", cb);
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(cb, sizeof bytes);
    EXPECT_EQ(memcmp(read, bytes, cb), 0);
    free(read);
}

TEST_F(RegistryTest, EveryTypeMismatchIsRefused)
{
    const uint8_t eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    Raw(L"bin4", REG_BINARY, eight, 4);
    Raw(L"qword", REG_QWORD, eight, 8);
    Raw(L"dword8", REG_DWORD, eight, 8);
    Raw(L"dword2", REG_DWORD, eight, 2);
    Raw(L"expand", REG_EXPAND_SZ, L"%TEMP%", 14);
    Raw(L"multi", REG_MULTI_SZ, L"a\0b\0", 10);
    Raw(L"dword", REG_DWORD, eight, 4);
    Raw(L"emptybin", REG_BINARY, eight, 0);
    Raw(L"sz", REG_SZ, L"12", 6);

    for (const wchar_t* name : {L"bin4", L"qword", L"dword8", L"dword2", L"sz", L"missing"}) {
        uint32_t value = 777;
        EXPECT_FALSE(QueryDwordValue(key, name, value)) << name;
        EXPECT_EQ(value, 777u) << name;
    }
    for (const wchar_t* name : {L"expand", L"multi", L"dword", L"emptybin", L"missing"}) {
        WIDE(s, L"old");
        EXPECT_FALSE(QueryStringValue(key, name, s)) << name;
        EXPECT_TRUE(s.IsEmpty()) << name;
    }
    for (const wchar_t* name : {L"dword", L"sz", L"emptybin", L"qword", L"missing"}) {
        uint32_t cb = 5;
        EXPECT_EQ(QueryBinaryValue(key, name, cb), nullptr) << name;
        EXPECT_EQ(cb, 0u) << name;
    }
}

TEST_F(RegistryTest, GuardsFailWithoutTouchingTheRegistry)
{
    EXPECT_EQ(OpenKey(key, L"", KEY_READ), nullptr);
    EXPECT_EQ(OpenKey(key, nullptr, KEY_READ), nullptr);
    EXPECT_EQ(OpenKey(nullptr, L"x", KEY_READ), nullptr);
    EXPECT_EQ(CreateKey(key, L"", KEY_READ), nullptr);
    EXPECT_EQ(CreateKey(nullptr, L"x", KEY_READ), nullptr);
    EXPECT_EQ(OpenKey(key, L"absent", KEY_READ), nullptr) << "open never creates";
    EXPECT_EQ(SubkeyCount(), 0u);
    WIDE(v, L"v");
    EXPECT_FALSE(SetStringValue(nullptr, L"s", v));
    EXPECT_FALSE(SetStringValue(key, L"", v));
    EXPECT_FALSE(DeleteValue(key, L""));
    EXPECT_FALSE(QueryStringValue(nullptr, L"s", v));
}

TEST_F(RegistryTest, CreateKeyMakesTheWholePath)
{
    HKEY deep = CreateKey(key, L"a\\b\\c", KEY_READ);
    ASSERT_NE(deep, nullptr);
    RegCloseKey(deep);
    HKEY opened = OpenKey(key, L"a\\b\\c", KEY_READ);
    EXPECT_NE(opened, nullptr);
    RegCloseKey(opened);
}

TEST_F(RegistryTest, NamedOperationsUseTheirTexts)
{
    // Text 23 names the shared-document record subkey.
    HKEY sub = CreateKeyById(*g_app, key, TXT_SHARED_DOC_QUALIFIER, KEY_ALL_ACCESS);
    ASSERT_NE(sub, nullptr);
    HKEY check = OpenKey(key, Text(TXT_SHARED_DOC_QUALIFIER).c_str(), KEY_READ);
    EXPECT_NE(check, nullptr);
    RegCloseKey(check);

    EXPECT_TRUE(SetDwordValueById(*g_app, sub, TXT_VENDOR_FOLDER, 190));
    uint32_t v = 0;
    EXPECT_TRUE(QueryDwordValue(sub, Text(TXT_VENDOR_FOLDER).c_str(), v));
    EXPECT_EQ(v, 190u);
    EXPECT_TRUE(SetTextValueById(*g_app, sub, TXT_NOTE_BASE_NAME, TXT_POST_RUN_DATA_NEW));
    GString read;
    EXPECT_TRUE(QueryStringValueById(*g_app, sub, TXT_NOTE_BASE_NAME, read));
    EXPECT_EQ(Str(read), Text(TXT_POST_RUN_DATA_NEW));
    EXPECT_TRUE(StringValueEqualsById(*g_app, sub, TXT_NOTE_BASE_NAME, read));
    DeleteValueById(*g_app, sub, TXT_NOTE_BASE_NAME);
    EXPECT_FALSE(QueryStringValueById(*g_app, sub, TXT_NOTE_BASE_NAME, read));
    RegCloseKey(sub);
}

TEST_F(RegistryTest, MissingTextMakesNoRegistryCall)
{
    uint32_t v = 5;
    uint32_t cb = 5;
    WIDE(s, L"x");
    EXPECT_EQ(CreateKeyById(*g_app, key, kMissingText, KEY_ALL_ACCESS), nullptr);
    EXPECT_EQ(OpenKeyById(*g_app, HKEY_CURRENT_USER, kMissingText, KEY_READ), nullptr);
    EXPECT_FALSE(SetDwordValueById(*g_app, key, kMissingText, 1));
    EXPECT_FALSE(SetStringValueById(*g_app, key, kMissingText, s));
    EXPECT_FALSE(SetTextValueById(*g_app, key, TXT_NOTE_BASE_NAME, kMissingText));
    EXPECT_FALSE(SetBinaryValueById(*g_app, key, kMissingText, "ab", 2));
    EXPECT_FALSE(QueryDwordValueById(*g_app, key, kMissingText, v));
    EXPECT_EQ(QueryBinaryValueById(*g_app, key, kMissingText, cb), nullptr);
    EXPECT_FALSE(DeleteKeyById(*g_app, HKEY_CURRENT_USER, kMissingText));
    EXPECT_FALSE(SetHklmTextValue(*g_app, kMissingText, TXT_NOTE_BASE_NAME, TXT_POST_RUN_DATA_NEW));
    // Nothing was created or written: not even under an empty name.
    EXPECT_EQ(SubkeyCount(), 0u);
    DWORD values = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    EXPECT_EQ(values, 0u);
    EXPECT_EQ(v, 5u);
}

TEST_F(RegistryTest, DeleteKeyLeavesAKeyWithSubkeys)
{
    std::wstring name = Text(TXT_SHARED_DOC_QUALIFIER);
    HKEY child = CreateKey(key, (name + L"\\child").c_str(), KEY_READ);
    ASSERT_NE(child, nullptr);
    RegCloseKey(child);
    EXPECT_FALSE(DeleteKeyById(*g_app, key, TXT_SHARED_DOC_QUALIFIER));
    HKEY still = OpenKey(key, name.c_str(), KEY_READ);
    EXPECT_NE(still, nullptr);
    RegCloseKey(still);
    ASSERT_EQ(RegDeleteKeyW(key, (name + L"\\child").c_str()), ERROR_SUCCESS);
    EXPECT_TRUE(DeleteKeyById(*g_app, key, TXT_SHARED_DOC_QUALIFIER));
    EXPECT_EQ(SubkeyCount(), 0u);
}

TEST(PostRunValue, WritesTheDataOfTheSystemVersion)
{
    HKEY runOnce = OpenKeyById(*g_app, HKEY_LOCAL_MACHINE, TXT_POST_RUN_KEY, KEY_ALL_ACCESS);
    ASSERT_NE(runOnce, nullptr) << "the prefix has the key";
    std::wstring name = Text(TXT_NOTE_BASE_NAME);
    struct Case {
        int32_t osCode;
        TextId data;
    } cases[] = {{61, TXT_POST_RUN_DATA_NEW}, {51, TXT_POST_RUN_DATA_NEW}, {50, TXT_POST_RUN_DATA_OLD}};
    for (const Case& c : cases) {
        g_app->OsCode = c.osCode;
        g_app->WritePostRunValue();
        GString read;
        ASSERT_TRUE(QueryStringValue(runOnce, name.c_str(), read)) << c.osCode;
        EXPECT_EQ(Str(read), Text(c.data)) << c.osCode;
    }
    RegDeleteValueW(runOnce, name.c_str());
    RegCloseKey(runOnce);
}

// Files -----------------------------------------------------------------------

std::wstring ScratchFolder()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    wchar_t folder[MAX_PATH];
    wsprintfW(folder, L"%skreska-files-%lu", temp, GetCurrentProcessId());
    CreateDirectoryW(folder, nullptr);
    return folder;
}

std::wstring PendingRenames()
{
    HKEY session = nullptr;
    std::wstring all;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ,
                      &session) != ERROR_SUCCESS)
        return all;
    DWORD cb = 0;
    if (RegQueryValueExW(session, L"PendingFileRenameOperations", nullptr, nullptr, nullptr, &cb) ==
            ERROR_SUCCESS &&
        cb > 0) {
        std::wstring buffer(cb / 2 + 1, L'\0');
        RegQueryValueExW(session, L"PendingFileRenameOperations", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&buffer[0]), &cb);
        for (wchar_t& c : buffer)
            if (c == 0)
                c = L'|';
        all = buffer;
    }
    RegCloseKey(session);
    return all;
}

DWORD FileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return DWORD(-1);
    return data.nFileSizeLow;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST(Files, DeleteOrScheduleMissingFileIsDoneAndSchedulesNothing)
{
    std::wstring path = ScratchFolder() + L"\\never-there.txt";
    EXPECT_TRUE(DeleteOrSchedule(path.c_str()));
    EXPECT_EQ(PendingRenames().find(L"never-there.txt"), std::wstring::npos);
    GString empty;
    EXPECT_FALSE(DeleteOrSchedule(empty));
    EXPECT_FALSE(DeleteOrSchedule(static_cast<const WChar*>(nullptr)));
}

TEST(Files, DeleteOrScheduleDeletesAFreeFileAtOnce)
{
    std::wstring path = ScratchFolder() + L"\\free.txt";
    HANDLE file = CreateFileForWrite(path.c_str());
    ASSERT_NE(file, nullptr);
    CloseHandle(file);
    WIDE(name, path.c_str());
    EXPECT_TRUE(DeleteOrSchedule(name));
    EXPECT_FALSE(Exists(path));
}

TEST(Files, DeleteOrScheduleHandsAFileInUseToTheRestart)
{
    std::wstring path = ScratchFolder() + L"\\in-use.txt";
    HANDLE held = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(DeleteOrSchedule(path.c_str()));
    EXPECT_TRUE(Exists(path)) << "a file in use is not forced";
    EXPECT_NE(PendingRenames().find(L"in-use.txt"), std::wstring::npos);
    CloseHandle(held);
}

TEST(Files, ScheduleReplaceRecordsOnlyComplete)
{
    std::wstring folder = ScratchFolder();
    std::wstring staging = folder + L"\\staged.dll", target = folder + L"\\target.dll";
    HANDLE file = CreateFileForWrite(staging.c_str());
    ASSERT_NE(file, nullptr);
    CloseHandle(file);
    ScheduleReplace(L"", target.c_str());
    ScheduleReplace(staging.c_str(), L"");
    EXPECT_EQ(PendingRenames().find(L"staged.dll"), std::wstring::npos);
    ScheduleReplace(staging.c_str(), target.c_str());
    std::wstring pending = PendingRenames();
    size_t from = pending.find(L"staged.dll");
    ASSERT_NE(from, std::wstring::npos);
    EXPECT_NE(pending.find(L"target.dll", from), std::wstring::npos);
}

TEST(Files, FoldersAreMadeOneLevelAndRemovedOnlyEmpty)
{
    std::wstring folder = ScratchFolder() + L"\\made";
    EXPECT_TRUE(EnsureDir(folder.c_str()));
    EXPECT_TRUE(EnsureDir(folder.c_str())) << "existing";
    EXPECT_FALSE(EnsureDir((folder + L"\\no\\such").c_str())) << "parent missing";
    std::wstring inner = folder + L"\\file.txt";
    HANDLE file = CreateFileForWrite(inner.c_str());
    ASSERT_NE(file, nullptr);
    CloseHandle(file);
    WIDE(dir, folder.c_str());
    EXPECT_FALSE(RemoveDir(dir));
    EXPECT_TRUE(Exists(inner));
    DeleteFileW(inner.c_str());
    EXPECT_TRUE(RemoveDir(dir));
    EXPECT_FALSE(Exists(folder));
    GString empty;
    EXPECT_FALSE(RemoveDir(empty));
}

TEST(Files, WritesBytesAndUtf8Text)
{
    std::wstring path = ScratchFolder() + L"\\text.txt";
    HANDLE file = CreateFileForWrite(path.c_str());
    ASSERT_NE(file, nullptr);
    GString empty;
    EXPECT_FALSE(WriteText(file, empty));
    EXPECT_FALSE(WriteBytes(file, "x", 0));
    EXPECT_FALSE(WriteBytes(nullptr, "x", 1));
    WIDE(text, L"\x017C\r\n");
    EXPECT_TRUE(WriteText(file, text));
    CloseHandle(file);
    EXPECT_EQ(FileSize(path), 4u) << "two UTF-8 bytes, CR LF, no mark, no terminator";
    EXPECT_EQ(CreateFileForWrite((ScratchFolder() + L"\\no\\such.txt").c_str()), nullptr);
}

TEST(Files, TempFileIsMadeEmptyAndReusable)
{
    GString dir;
    ASSERT_TRUE(GetTempDir(dir));
    EXPECT_EQ(dir.WideAt(0)[dir.Length() - 1], L'\\');
    GString name;
    ASSERT_TRUE(MakeTempFile(*g_app, name, TXT_VENDOR_FOLDER, nullptr));
    std::wstring path = Str(name);
    EXPECT_EQ(path.compare(0, dir.Length(), Str(dir)), 0);
    EXPECT_NE(path.find(Text(TXT_VENDOR_FOLDER).substr(0, 3)), std::wstring::npos) << "prefix: 3 characters";
    EXPECT_EQ(FileSize(path), 0u);
    HANDLE file = CreateFileForWrite(path.c_str());
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(WriteBytes(file, "abc", 3));
    CloseHandle(file);
    EXPECT_EQ(FileSize(path), 3u);
    DeleteFileW(path.c_str());

    std::wstring folder = ScratchFolder();
    GString inFolder;
    EXPECT_TRUE(MakeTempFile(*g_app, inFolder, kMissingText, folder.c_str())) << "absent prefix text is empty";
    EXPECT_EQ(Str(inFolder).compare(0, folder.size(), folder), 0);
    EXPECT_FALSE(MakeTempFile(*g_app, inFolder, TextId(0), nullptr));
}

TEST(Files, WritePayloadFileUnpacksTheItem)
{
    const PayloadBlob blob = PayloadItemBlob(ITEM_COMMON_TEXTS);
    ASSERT_NE(blob.Data, nullptr);
    uint32_t cb = blob.Size;
    uint8_t* expected = g_app->Guard.UnpackBlob(blob.Data, cb, nullptr);
    ASSERT_NE(expected, nullptr);

    std::wstring path = ScratchFolder() + L"\\item.bin";
    ASSERT_TRUE(WritePayloadFile(g_app->Guard, path.c_str(), blob));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::string content(cb + 1, '\0');
    DWORD cbRead = 0;
    ReadFile(file, &content[0], cb + 1, &cbRead, nullptr);
    CloseHandle(file);
    EXPECT_EQ(cbRead, cb);
    EXPECT_EQ(memcmp(content.data(), expected, cb), 0);
    free(expected);

    // A damaged item: no file written.
    std::string damaged(reinterpret_cast<const char*>(blob.Data), blob.Size);
    damaged[damaged.size() / 2] ^= 0x55;
    PayloadBlob bad = {reinterpret_cast<const uint8_t*>(damaged.data()), blob.Size};
    std::wstring badPath = ScratchFolder() + L"\\bad.bin";
    EXPECT_FALSE(WritePayloadFile(g_app->Guard, badPath.c_str(), bad));
    EXPECT_FALSE(Exists(badPath));
    EXPECT_FALSE(WritePayloadFile(g_app->Guard, nullptr, blob));
}

// Processes and the shell -------------------------------------------------------

std::wstring SelfPath()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring SelfFolder()
{
    std::wstring self = SelfPath();
    return self.substr(0, self.rfind(L'\\'));
}

TEST(Process, LibrariesAndFunctionsResolveByText)
{
    HMODULE slot = nullptr;
    FARPROC native = ResolveFunction(*g_app, TXT_FN_NATIVE_SYSTEM_INFO, TXT_LIB_BASE_SERVICES, &slot);
    ASSERT_NE(slot, nullptr);
    EXPECT_NE(native, nullptr);
    HMODULE loaded = slot;
    // The same slot twice: the library is loaded once.
    ResolveFunction(*g_app, TXT_FN_DISABLE_FS_REDIRECTION, TXT_LIB_BASE_SERVICES, &slot);
    EXPECT_EQ(slot, loaded);
    // A name that is no function: null, the library stays for the caller.
    EXPECT_EQ(ResolveFunction(*g_app, TXT_WINDOW_TITLE, TXT_LIB_BASE_SERVICES, &slot), nullptr);
    EXPECT_EQ(slot, loaded);
    FreeLibrary(slot);

    HMODULE none = nullptr;
    EXPECT_EQ(ResolveFunction(*g_app, TXT_FN_NATIVE_SYSTEM_INFO, kMissingText, &none), nullptr);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(LoadLibraryById(*g_app, TXT_WINDOW_TITLE), nullptr) << "no such library";
}

TEST(Process, LibraryIsTakenFromTheSystemFolder)
{
    HMODULE module = LoadLibraryById(*g_app, TXT_LIB_REGISTRY);
    ASSERT_NE(module, nullptr);
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(module, path, MAX_PATH);
    GString system;
    ASSERT_TRUE(SystemFolder(system));
    EXPECT_EQ(_wcsnicmp(path, Str(system).c_str(), system.Length()), 0) << path;
    FreeLibrary(module);
}

TEST(Process, BareProgramNameIsNeverSearchedBesideTheInstaller)
{
    std::wstring folder = SelfFolder();
    std::wstring planted = folder + L"\\kreska-planted.exe";
    ASSERT_TRUE(CopyFileW(SelfPath().c_str(), planted.c_str(), FALSE));
    std::wstring marker = ScratchFolder() + L"\\planted-ran.txt";
    SetCurrentDirectoryW(folder.c_str());

    WIDE(bare, (L"kreska-planted.exe --mark \"" + marker + L"\"").c_str());
    EXPECT_FALSE(StartCommandLine(bare, 5000)) << "not in the system folder: not started";
    EXPECT_FALSE(Exists(marker));

    // The same program by its full path does run: the helper works.
    WIDE(full, (L"\"" + planted + L"\" --mark \"" + marker + L"\"").c_str());
    EXPECT_TRUE(StartCommandLine(full, 20000));
    EXPECT_TRUE(Exists(marker));
    DeleteFileW(planted.c_str());
}

TEST(Process, SystemProgramByBareNameStarts)
{
    std::wstring marker = ScratchFolder() + L"\\cmd-ran.txt";
    WIDE(line, (L"cmd.exe /c echo x> \"" + marker + L"\"").c_str());
    EXPECT_TRUE(StartCommandLine(line, 20000));
    EXPECT_TRUE(Exists(marker));
}

TEST(Process, RunCommandReportsOnlyAMissingFormat)
{
    EXPECT_FALSE(RunCommand(*g_app, TextId(0)));
    EXPECT_TRUE(RunCommand(*g_app, kMissingText));
    WIDE(missing, L"kreska-no-such-program.exe /x");
    EXPECT_FALSE(StartCommandLine(missing, 1000));
}

TEST(Shell, ShortcutReadsBack)
{
    std::wstring folder = ScratchFolder();
    std::wstring target = SelfPath();
    struct Case {
        const wchar_t* file;
        const wchar_t* icon;
        int index;
    } cases[] = {{L"\\with-icon.lnk", L"C:\\windows\\system32\\shell32.dll", 3}, {L"\\plain.lnk", nullptr, 0}};
    for (const Case& c : cases) {
        std::wstring link = folder + c.file;
        ASSERT_TRUE(CreateShortcut(target.c_str(), link.c_str(), L"Opis \x017C", c.icon, c.index));
        IShellLinkW* shellLink = nullptr;
        ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&shellLink)),
                  S_OK);
        IPersistFile* file = nullptr;
        ASSERT_EQ(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);
        ASSERT_EQ(file->Load(link.c_str(), STGM_READ), S_OK) << "saved";
        wchar_t read[MAX_PATH] = L"";
        shellLink->GetPath(read, MAX_PATH, nullptr, 0);
        EXPECT_EQ(_wcsicmp(read, target.c_str()), 0) << read;
        shellLink->GetDescription(read, MAX_PATH);
        EXPECT_STREQ(read, L"Opis \x017C");
        int index = -1;
        read[0] = 0;
        shellLink->GetIconLocation(read, MAX_PATH, &index);
        if (c.icon) {
            EXPECT_EQ(_wcsicmp(read, c.icon), 0) << read;
            EXPECT_EQ(index, c.index);
        } else {
            EXPECT_STREQ(read, L"") << "the target's own icon";
        }
        file->Release();
        shellLink->Release();
    }
}

// Removes every association of the document type (the prefix may come with
// one: Wine opens documents with its own browser).
void UnregisterViewers()
{
    std::wstring extension = L"Software\\Classes\\" + Text(TXT_DOC_EXTENSION);
    SHDeleteKeyW(HKEY_CURRENT_USER, extension.c_str());
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, extension.c_str());
}

// Registers a viewer for the document type, machine-wide.
void RegisterViewer(const std::wstring& viewer)
{
    std::wstring extension = Text(TXT_DOC_EXTENSION);
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + extension).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &key, nullptr);
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(L"KreskaTestViewer"), 34);
    RegCloseKey(key);
    std::wstring command = L"\"" + viewer + L"\" \"%1\"";
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\KreskaTestViewer\\shell\\open\\command", 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   DWORD(command.size() + 1) * 2);
    RegCloseKey(key);
}

TEST(Shell, AssociationCheckNeedsARegisteredViewer)
{
    UnregisterViewers();
    GString path;
    EXPECT_FALSE(QueryAssocExecutable(*g_app, TXT_DOC_EXTENSION, path));
    EXPECT_FALSE(AssocExecutableContains(*g_app, TXT_DOC_EXTENSION, TXT_VIEWER_NAME_PART)) << "none registered";

    // Lower case in the registry; the needle is upper case.
    std::wstring viewer = ScratchFolder() + L"\\viewer.exe";
    ASSERT_TRUE(CopyFileW(SelfPath().c_str(), viewer.c_str(), FALSE));
    RegisterViewer(viewer);
    ASSERT_TRUE(QueryAssocExecutable(*g_app, TXT_DOC_EXTENSION, path));
    EXPECT_EQ(_wcsicmp(Str(path).c_str(), viewer.c_str()), 0) << Str(path).c_str();
    EXPECT_TRUE(AssocExecutableContains(*g_app, TXT_DOC_EXTENSION, TXT_VIEWER_NAME_PART));
    // A needle absent from the path.
    EXPECT_FALSE(AssocExecutableContains(*g_app, TXT_DOC_EXTENSION, TXT_VENDOR_FOLDER));
    EXPECT_FALSE(AssocExecutableContains(*g_app, kMissingText, TXT_VIEWER_NAME_PART));
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\KreskaTestViewer");
    UnregisterViewers();
}

}  // namespace

namespace {

int WriteFileText(const std::wstring& path, const char* text)
{
    HANDLE file = CreateFileForWrite(path.c_str());
    int ok = WriteBytes(file, text, uint32_t(strlen(text)));
    CloseHandle(file);
    return ok;
}

// Leaves restart-time work in folder for the restart that follows: a file
// held open by this process to delete, and a staged file to replace another.
int ScheduleForRestart(const std::wstring& folder)
{
    if (!EnsureDir(folder.c_str()))
        return 1;
    std::wstring inUse = folder + L"\\in-use.txt";
    HANDLE held = CreateFileW(inUse.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (held == INVALID_HANDLE_VALUE)
        return 1;
    int deleted = DeleteOrSchedule(inUse.c_str());
    if (!WriteFileText(folder + L"\\staged.txt", "new") || !WriteFileText(folder + L"\\target.txt", "old"))
        return 1;
    ScheduleReplace((folder + L"\\staged.txt").c_str(), (folder + L"\\target.txt").c_str());
    CloseHandle(held);
    return deleted ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && wcscmp(argv[1], L"--mark") == 0) {
        HANDLE file = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        return file == INVALID_HANDLE_VALUE ? 1 : (CloseHandle(file), 0);
    }
    if (argc == 3 && wcscmp(argv[1], L"--schedule") == 0)
        return ScheduleForRestart(argv[2]);
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    CInstall app;
    if (!app.Init(GetModuleHandleW(nullptr))) {
        fprintf(stderr, "the payload's texts do not open\n");
        return 2;
    }
    g_app = &app;
    g_services_app = &app;
    int narrowArgc = 1;
    char name[] = "services_win_test";
    char* narrowArgv[] = {name, nullptr};
    ::testing::InitGoogleTest(&narrowArgc, narrowArgv);
    int rc = RUN_ALL_TESTS();
    CoUninitialize();
    return rc;
}
