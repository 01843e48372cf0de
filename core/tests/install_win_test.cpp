// The installer object on Windows: construction, Init with the real payload,
// the accessors of the pages, the post-run value and the restart request.
// Each scenario runs in a throwaway prefix, so the registry may be changed.
#include <gtest/gtest.h>

#include <shlwapi.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>
#include <windows.h>

#include <string>

#include "core/install.h"
#include "wizard/wizard.h"

namespace {

void PutLe32(uint8_t* p, uint32_t v)
{
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
    p[2] = (uint8_t)(v >> 16);
    p[3] = (uint8_t)(v >> 24);
}

// A table image holding one wide text: the index entry, then the record.
void AdoptOneText(TextTable& table, TextId id, const wchar_t* text)
{
    const uint32_t cch = (uint32_t)wcslen(text);
    const uint32_t cb = 8 + 4 + cch * 2;
    uint8_t* image = (uint8_t*)malloc(cb);
    ASSERT_NE(nullptr, image);
    PutLe32(image, id);
    PutLe32(image + 4, 0);
    PutLe32(image + 8, cch);
    memcpy(image + 12, text, cch * 2);
    ASSERT_TRUE(table.Adopt(image, cb, 1));
}

std::wstring Text(CInstall& install, TextId id)
{
    GString s;
    EXPECT_TRUE(install.GetText(id, s)) << "text " << id;
    return std::wstring(s.WideAt(0), s.Length());
}

// The installer after Init with the payload of this image.
class Initialised : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(1, install.Init(GetModuleHandleW(nullptr))); }
    CInstall install;
};

// The post-run value as the registry holds it; "<none>" when it is absent.
std::wstring ReadPostRunValue(const std::wstring& keyPath, const std::wstring& name)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return L"<no key>";
    wchar_t data[512] = {0};
    DWORD cb = sizeof data - sizeof(wchar_t), type = 0;
    const LONG rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, (BYTE*)data, &cb);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return L"<none>";
    EXPECT_EQ((DWORD)REG_SZ, type);
    return data;
}

class PostRun : public Initialised {
protected:
    void SetUp() override
    {
        Initialised::SetUp();
        keyPath = Text(install, TXT_POST_RUN_KEY);
        valueName = Text(install, TXT_NOTE_BASE_NAME);
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &key, nullptr));
        RegDeleteValueW(key, valueName.c_str());
        RegCloseKey(key);
    }
    std::wstring keyPath, valueName;
};

TEST(CInstallConstruction, FieldsStartAtTheirInitialValues)
{
    CInstall install;
    EXPECT_EQ(nullptr, install.Instance);
    EXPECT_EQ(0xFFFF, install.ProcessorArch);
    EXPECT_EQ(0, install.OsCode);
    EXPECT_EQ(0, install.LanguageIndex);
    EXPECT_EQ(1, install.SetAsDefault);
    EXPECT_EQ(1, install.UserToggleOption);
    EXPECT_EQ(1, install.DesktopShortcuts);
    EXPECT_EQ(-1, install.LayoutVariant);
    EXPECT_EQ(-1, install.KeypadDecimal);
    EXPECT_EQ(0, install.InstallDone);
    EXPECT_EQ(0, install.RemovalDone);
    EXPECT_EQ(0, install.RestartRequested);
    EXPECT_EQ(nullptr, install.Wizard);
    EXPECT_EQ(nullptr, install.OwnerWindow());
    EXPECT_FALSE(install.Guard.IsLoaded());
    EXPECT_EQ(nullptr, install.CommonTexts.Lookup(TXT_WINDOW_TITLE));
}

// A copy of every row, terminators included, with no override at start.
TEST(CInstallConstruction, KeyTableIsTheStandardTableWithoutOverrides)
{
    CInstall install;
    ASSERT_NE(nullptr, install.KeyTable);
    ASSERT_EQ(kKeyTableCount, install.KeyTableCount);
    ASSERT_NE(DefaultKeyTable, install.KeyTable);
    for (int i = 0; i < kKeyTableCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(DefaultKeyTable[i].ScanCode, install.KeyTable[i].ScanCode);
        EXPECT_EQ(0, install.KeyTable[i].Vk);
        EXPECT_EQ(DefaultKeyTable[i].NameTextId, install.KeyTable[i].NameTextId);
        EXPECT_EQ(0, install.KeyTable[i].ScanRemap);
    }
}

TEST_F(Initialised, OpensKeyTextsAndWizardWithoutWindows)
{
    EXPECT_EQ(GetModuleHandleW(nullptr), install.Instance);
    EXPECT_TRUE(install.Guard.IsLoaded());
    ASSERT_NE(nullptr, install.Wizard);
    EXPECT_EQ(nullptr, install.OwnerWindow());
    // Each table answers on its own.
    EXPECT_NE(nullptr, install.CommonTexts.Lookup(TXT_POST_RUN_KEY));
    EXPECT_NE(nullptr, install.LanguageTexts[0].Lookup(TXT_WINDOW_TITLE));
    EXPECT_NE(nullptr, install.LanguageTexts[1].Lookup(TXT_WINDOW_TITLE));
    EXPECT_GT(install.ExtraTexts.EntryCount, 0);
    // The product's layout language, Polish.
    EXPECT_EQ(0x0415, install.DefaultLayoutLanguage);
}

TEST(CInstallInit, DefaultLayoutLanguageParsesAsHexadecimal)
{
    const struct {
        const wchar_t* text;
        uint16_t expected;
    } cases[] = {
        {L"0415", 0x0415},
        {L"409", 0x0409},
        {L"c0150415", 0x0415},  // only the low 16 bits
        {L"12345", 0x2345},
        {L" 41a", 0x041A},
        {L"polish", 0},
        {L"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "text \"" << std::wstring(c.text).c_str() << "\"");
        CInstall install;
        AdoptOneText(install.CommonTexts, TXT_DEFAULT_LAYOUT_LANGUAGE, c.text);
        install.ReadDefaultLayoutLanguage();
        EXPECT_EQ(c.expected, install.DefaultLayoutLanguage);
    }
    CInstall missing;
    missing.ReadDefaultLayoutLanguage();
    EXPECT_EQ(0, missing.DefaultLayoutLanguage);
}

TEST(CInstallAccessors, LanguageIndexTakesOnlyZeroAndOne)
{
    const struct { int value, result, stored; } cases[] = {
        {1, 1, 1}, {0, 1, 0}, {2, 0, 0}, {-1, 0, 0}, {1, 1, 1}, {65536, 0, 1},
    };
    CInstall install;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(c.result, install.SetLanguageIndex(c.value));
        EXPECT_EQ(c.stored, install.LanguageIndex);
    }
}

// Both return their argument whether they took it or not.
TEST(CInstallAccessors, LayoutVariantAndKeypadDecimalRefuseOutOfRange)
{
    const struct { int value, variant, keypad; } cases[] = {
        // value  LayoutVariant after  KeypadDecimal after
        {2,       2,                   -1},
        {3,       2,                   -1},
        {-1,      2,                   -1},
        {0,       0,                   0},
        {1,       1,                   1},
        {-2,      1,                   1},
        {0x10002, 1,                   1},
    };
    CInstall install;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(c.value, install.SetLayoutVariant(c.value));
        EXPECT_EQ(c.value, install.SetKeypadDecimal(c.value));
        EXPECT_EQ(c.variant, install.LayoutVariant);
        EXPECT_EQ(c.keypad, install.KeypadDecimal);
    }
}

TEST(CInstallAccessors, ModifyModeAcceptsTheLicenceAndAltSetIsPlain)
{
    CInstall install;
    install.SetModifyMode(0);
    EXPECT_EQ(0, install.ModifyMode);
    EXPECT_EQ(0, install.EulaAccepted);
    install.SetModifyMode(5);
    EXPECT_EQ(5, install.ModifyMode);
    EXPECT_EQ(1, install.EulaAccepted);
    install.SetModifyMode(0);  // leaving modify mode keeps the acceptance
    EXPECT_EQ(0, install.ModifyMode);
    EXPECT_EQ(1, install.EulaAccepted);

    install.SetAltLayoutSet(7);
    EXPECT_EQ(7, install.GetAltLayoutSet());
    EXPECT_EQ(7, install.AltLayoutSet);
}

// The privilege is enabled and the request made; Windows here accepts it
// without restarting.
TEST(CInstallRestart, RequestsTheRestartWithTheShutdownPrivilege)
{
    CInstall install;
    EXPECT_EQ(1, install.RestartSystem());
}

TEST_F(PostRun, WritesTheCommandOfTheWindowsVersion)
{
    const struct { int32_t osCode; TextId data; } cases[] = {
        {61, TXT_POST_RUN_DATA_NEW},
        {51, TXT_POST_RUN_DATA_NEW},
        {50, TXT_POST_RUN_DATA_OLD},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.osCode);
        install.OsCode = c.osCode;
        install.WritePostRunValue();
        EXPECT_EQ(Text(install, c.data), ReadPostRunValue(keyPath, valueName));
    }
    EXPECT_NE(Text(install, TXT_POST_RUN_DATA_NEW), Text(install, TXT_POST_RUN_DATA_OLD));
}

TEST_F(PostRun, WritesNothingWhenTheKeyIsMissing)
{
    ASSERT_EQ((DWORD)ERROR_SUCCESS, SHDeleteKeyW(HKEY_LOCAL_MACHINE, keyPath.c_str()));
    install.OsCode = 61;
    install.WritePostRunValue();
    EXPECT_EQ(L"<no key>", ReadPostRunValue(keyPath, valueName));
}

// Finish tears the wizard down, writes the value only after an install or a
// removal, and releases the texts and the key.
TEST(CInstallFinish, WritesThePostRunValueOnlyAfterInstallOrRemoval)
{
    const struct { int32_t installDone, removalDone; bool written; } cases[] = {
        {0, 0, false},
        {1, 0, true},
        {0, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "install " << c.installDone << " removal " << c.removalDone);
        CInstall install;
        ASSERT_EQ(1, install.Init(GetModuleHandleW(nullptr)));
        const std::wstring keyPath = Text(install, TXT_POST_RUN_KEY);
        const std::wstring name = Text(install, TXT_NOTE_BASE_NAME);
        const std::wstring data = Text(install, TXT_POST_RUN_DATA_NEW);
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &key, nullptr));
        RegDeleteValueW(key, name.c_str());
        RegCloseKey(key);

        install.OsCode = 61;
        install.InstallDone = c.installDone;
        install.RemovalDone = c.removalDone;
        install.Finish();

        EXPECT_EQ(c.written ? data : L"<none>", ReadPostRunValue(keyPath, name));
        EXPECT_EQ(nullptr, install.Wizard);
        EXPECT_FALSE(install.Guard.IsLoaded());
        GString after;
        EXPECT_EQ(0, install.GetText(TXT_WINDOW_TITLE, after));
        EXPECT_EQ(0, install.GetText(TXT_POST_RUN_KEY, after));
    }
}

}  // namespace
