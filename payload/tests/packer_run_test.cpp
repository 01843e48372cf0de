// Runs kreska-pack over a small content tree: determinism, the payload's
// framing, missing items, and failures that name the text.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "payload/bytes.h"
#include "payload/packer/inventory.h"
#include "payload/payload.h"

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::string& path, const std::string& contents)
{
    std::ofstream out(path, std::ios::binary);
    out << contents;
}

class PackerRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/kreska-pack-test-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        dir = pattern;
        mkdir((dir + "/texts").c_str(), 0755);
        mkdir((dir + "/licence").c_str(), 0755);
        std::string common, en, pl;
        for (int row = 0; row < kTextInventoryCount; ++row) {
            for (uint32_t id = kTextInventory[row].First; id <= kTextInventory[row].Last; ++id) {
                if (IsPatternText(id) || id == 97)
                    continue;  // patterns come from the layout build; 97 below
                if (id >= 90) {
                    en += std::to_string(id) + "\tEnglish " + std::to_string(id) + "\n";
                    pl += std::to_string(id) + "\tPolski żółw " + std::to_string(id) + "\n";
                } else {
                    common += std::to_string(id) + "\tname" + std::to_string(id) + "\n";
                }
            }
        }
        en += "97\tWelcome to %s\n";
        WriteAll(dir + "/texts/common.txt", common);
        WriteAll(dir + "/texts/en.txt", en);
        WriteAll(dir + "/texts/pl.txt", pl + "97\tWitamy w %s\n");
        WriteAll(dir + "/texts/extra.txt", "900\textra\n");
        WriteAll(dir + "/texts/signatures.txt", "97\ts\n");
        WriteAll(dir + "/licence/en.txt", "Licence\nline two\n");
        WriteAll(dir + "/licence/pl.txt", "Licencja\r\nżółć\r\n");
        WriteAll(dir + "/key-seed.txt", "test seed\n");
        WriteAll(dir + "/patterns.txt", "146\t0A\n147\t0B\n148\t0C\n149\t0D\n150\tE0E0\n151\tE1\n");
        WriteAll(dir + "/layout7.bin", std::string(3000, 'L'));
        WriteAll(dir + "/doc.bin", std::string(5000, 'D'));
        WriteAll(dir + "/items.txt", "7\tlayout7.bin\n88\t" + dir + "/doc.bin\n");
    }

    void TearDown() override
    {
        const std::string command = "rm -rf '" + dir + "'";
        EXPECT_EQ(0, system(command.c_str()));
    }

    // Runs the packer; returns its exit status, stderr in `output`.
    int Pack(const std::string& name, const std::string& extraArgs, std::string& output)
    {
        const std::string command = std::string(KRESKA_PACK_PATH) + " --content " + dir
                                    + " --payload " + dir + "/" + name + ".bin --header " + dir + "/"
                                    + name + ".h " + extraArgs + " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        output.clear();
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
            output.append(buffer, n);
        const int status = pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string dir;
};

TEST_F(PackerRun, SameInputsGiveIdenticalOutput)
{
    std::string out;
    const std::string args = "--layout-items " + dir + "/items.txt --texts-extra-common " + dir + "/patterns.txt";
    ASSERT_EQ(0, Pack("a", args, out)) << out;
    ASSERT_EQ(0, Pack("b", args, out)) << out;
    const std::string a = ReadAll(dir + "/a.bin");
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(a, ReadAll(dir + "/b.bin"));
    EXPECT_EQ(ReadAll(dir + "/a.h"), ReadAll(dir + "/b.h"));

    // The pair framing: walking it from the start accounts for every byte,
    // the key block is item 6 with 968 bytes, items without a file are empty.
    size_t pos = 0;
    uint32_t sizes[PAYLOAD_ITEM_COUNT + 1] = {};
    for (int item = 1; item <= PAYLOAD_ITEM_COUNT; item += 2) {
        ASSERT_LE(pos + 8, a.size());
        sizes[item] = ReadLe32((const uint8_t*)&a[pos]);
        sizes[item + 1] = ReadLe32((const uint8_t*)&a[pos + 4]);
        pos += 8 + sizes[item] + sizes[item + 1];
    }
    EXPECT_EQ(a.size(), pos);
    EXPECT_EQ(968u, sizes[ITEM_KEY_BLOCK]);
    EXPECT_NE(0u, sizes[7]);
    EXPECT_EQ(0u, sizes[8]);
    EXPECT_NE(0u, sizes[ITEM_DOC]);
    EXPECT_EQ(0u, sizes[ITEM_SHARED_DOC]);
    for (int item : {1, 2, 3, 4, 5, 85})
        EXPECT_EQ(0u, sizes[item] % 8) << item;
    EXPECT_NE(std::string::npos, ReadAll(dir + "/a.h").find("kEmbeddedGuardParams = {968, "));
}

TEST_F(PackerRun, MissingItemsAreReportedAndFailWhenRequired)
{
    std::string out;
    ASSERT_EQ(0, Pack("a", "--layout-items " + dir + "/items.txt", out)) << out;
    EXPECT_NE(std::string::npos, out.find("79 items have no file")) << out;
    EXPECT_NE(std::string::npos, out.find("text 146 is in no table")) << out;
    EXPECT_NE(0, Pack("b", "--require-complete --layout-items " + dir + "/items.txt", out));
    EXPECT_NE(std::string::npos, out.find("error: text 146 is in no table")) << out;
}

TEST_F(PackerRun, BrokenTextFailsTheBuildNamingIt)
{
    WriteAll(dir + "/texts/pl.txt", ReadAll(dir + "/texts/pl.txt") + "97\tduplicate\n");
    std::string out;
    EXPECT_NE(0, Pack("a", "", out));
    EXPECT_NE(std::string::npos, out.find("text 97 appears twice")) << out;

    WriteAll(dir + "/texts/pl.txt", "97\tWitamy %d\n");
    EXPECT_NE(0, Pack("a", "", out));
    EXPECT_NE(std::string::npos, out.find("format text 97 (pl)")) << out;
    EXPECT_NE(std::string::npos, out.find("text 98 (en) has no counterpart in pl")) << out;
    struct stat st;
    EXPECT_NE(0, stat((dir + "/a.bin").c_str(), &st)) << "no output on failure";
}

TEST_F(PackerRun, ManifestErrors)
{
    std::string out;
    WriteAll(dir + "/items.txt", "6\tlayout7.bin\n");
    EXPECT_NE(0, Pack("a", "--layout-items " + dir + "/items.txt", out));
    EXPECT_NE(std::string::npos, out.find("items.txt:1: expected an item number")) << out;
    WriteAll(dir + "/items.txt", "7\tnot-there.bin\n");
    EXPECT_NE(0, Pack("a", "--layout-items " + dir + "/items.txt", out));
    EXPECT_NE(std::string::npos, out.find("not-there.bin: cannot be read")) << out;
}

}  // namespace
