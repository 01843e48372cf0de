// kreska-pack: builds the installer's payload area from the text sources,
// the licences, the key seed and the files of the layout build.
//
//   kreska-pack --content DIR --payload OUT --header OUT.h
//               [--layout-items FILE] [--texts-extra-common FILE]...
//               [--require-complete] [--depfile FILE]
//
// Optional input files that do not exist yet (the layout build's manifest
// and patterns) are skipped; the items and texts they would give are then
// reported as missing, and --require-complete makes that an error.
#include <stdio.h>
#include <string.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "payload/packer/pack.h"
#include "payload/payload.h"

namespace {

struct Options {
    std::string Content, Payload, Header, LayoutItems, DepFile;
    std::vector<std::string> ExtraCommon;
    bool RequireComplete = false;
};

struct Run {
    std::vector<std::string> Errors, Warnings, Inputs;
};

bool FileExists(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return in.good();
}

bool ReadFile(const std::string& path, std::string& contents, Run& run)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        run.Errors.push_back(path + ": cannot be read");
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    contents = buffer.str();
    run.Inputs.push_back(path);
    return true;
}

bool WriteFile(const std::string& path, const void* data, size_t cb)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    const bool ok = fwrite(data, 1, cb, f) == cb;
    return fclose(f) == 0 && ok;
}

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--require-complete") options.RequireComplete = true;
        else if (arg == "--content" && hasValue) options.Content = argv[++i];
        else if (arg == "--payload" && hasValue) options.Payload = argv[++i];
        else if (arg == "--header" && hasValue) options.Header = argv[++i];
        else if (arg == "--layout-items" && hasValue) options.LayoutItems = argv[++i];
        else if (arg == "--texts-extra-common" && hasValue) options.ExtraCommon.push_back(argv[++i]);
        else if (arg == "--depfile" && hasValue) options.DepFile = argv[++i];
        else return false;
    }
    return !options.Content.empty() && !options.Payload.empty() && !options.Header.empty();
}

// Licences are shown in a multi-line edit control, which needs CR LF.
std::string WithCrLf(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += text[i];
    }
    return out;
}

std::string DirectoryOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// Reads `ITEM<TAB>PATH` lines into paths[item]; items 7-84 and 86-88 only.
void ReadManifest(const std::string& manifest, std::vector<std::string>& paths, Run& run)
{
    std::string contents;
    if (!ReadFile(manifest, contents, run))
        return;
    std::istringstream lines(contents);
    std::string line;
    for (int lineNo = 1; std::getline(lines, line); ++lineNo) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        const std::string where = manifest + ":" + std::to_string(lineNo) + ": ";
        const size_t tab = line.find('\t');
        char* end = nullptr;
        const long item = tab == std::string::npos ? 0 : strtol(line.c_str(), &end, 10);
        const bool isFileItem = (item >= ITEM_LAYOUT_FIRST && item < ITEM_EXTRA_TEXTS)
                                || (item >= ITEM_SHARED_DOC && item <= ITEM_DOC);
        if (tab == std::string::npos || end != line.c_str() + tab || !isFileItem || tab + 1 >= line.size()) {
            run.Errors.push_back(where + "expected an item number (7-84, 86-88), a tab and a path");
            continue;
        }
        if (!paths[item].empty()) {
            run.Errors.push_back(where + "item " + std::to_string(item) + " is listed twice");
            continue;
        }
        std::string path = line.substr(tab + 1);
        paths[item] = path[0] == '/' ? path : DirectoryOf(manifest) + "/" + path;
    }
}

void ReadTexts(const Options& options, TextMap (&tables)[TABLE_COUNT], SignatureMap& signatures, Run& run)
{
    static const char* const kSources[TABLE_COUNT] = {"common.txt", "en.txt", "pl.txt", "extra.txt"};
    for (int table = 0; table < TABLE_COUNT; ++table) {
        const std::string path = options.Content + "/texts/" + kSources[table];
        std::string contents;
        if (ReadFile(path, contents, run))
            ParseTextSource(contents, path, tables[table], run.Errors);
    }
    for (const std::string& path : options.ExtraCommon) {
        std::string contents;
        if (!FileExists(path)) {
            run.Warnings.push_back(path + ": not there yet, skipped");
            run.Inputs.push_back(path);  // repack once it appears
        }
        else if (ReadFile(path, contents, run))
            ParseTextSource(contents, path, tables[TABLE_COMMON], run.Errors);
    }
    const std::string signaturePath = options.Content + "/texts/signatures.txt";
    std::string contents;
    if (ReadFile(signaturePath, contents, run))
        ParseSignatures(contents, signaturePath, signatures, run.Errors);
}

bool AddBlob(std::vector<PackedItem>& items, int item, const CGuard& guard, Bytes raw, uint32_t extra, Run& run)
{
    PackedItem& packed = items[item - 1];
    packed.Raw = std::move(raw);
    packed.Extra = extra;
    if (!MakeBlob(guard, packed.Raw, extra, packed.Stored)) {
        run.Errors.push_back("item " + std::to_string(item) + ": cannot be packed");
        return false;
    }
    return true;
}

void WriteDepFile(const Options& options, const Run& run)
{
    std::string out = options.Payload + ":";
    for (const std::string& input : run.Inputs) {
        out += " \\\n  ";
        for (char c : input)
            out += (c == ' ' || c == '#' || c == '$') ? std::string("\\") + c : std::string(1, c);
    }
    out += "\n";
    WriteFile(options.DepFile, out.data(), out.size());
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        fprintf(stderr, "usage: kreska-pack --content DIR --payload OUT --header OUT.h "
                        "[--layout-items FILE] [--texts-extra-common FILE]... "
                        "[--require-complete] [--depfile FILE]\n");
        return 2;
    }
    Run run;

    TextMap tables[TABLE_COUNT];
    SignatureMap signatures;
    ReadTexts(options, tables, signatures, run);
    if (run.Errors.empty())
        CheckTexts(tables, signatures, options.RequireComplete, run.Errors, run.Warnings);
    for (int table = 0; table < TABLE_COUNT; ++table)
        if (tables[table].empty())
            run.Errors.push_back(std::string("text table ") + TableName(table)
                                 + " is empty: the installer refuses an empty table");

    std::string seed, licence[2];
    ReadFile(options.Content + "/key-seed.txt", seed, run);
    ReadFile(options.Content + "/licence/en.txt", licence[0], run);
    ReadFile(options.Content + "/licence/pl.txt", licence[1], run);

    std::vector<std::string> paths(PAYLOAD_ITEM_COUNT + 1);
    if (options.LayoutItems.empty() || !FileExists(options.LayoutItems)) {
        run.Warnings.push_back("no layout manifest: layout and product files are missing");
        if (!options.LayoutItems.empty())
            run.Inputs.push_back(options.LayoutItems);  // repack once it appears
    }
    else
        ReadManifest(options.LayoutItems, paths, run);

    KeyMaterial key;
    if (run.Errors.empty() && !GenerateKeyMaterial(seed, key))
        run.Errors.push_back("no key material can be made from the seed");

    std::vector<PackedItem> items(PAYLOAD_ITEM_COUNT);
    if (run.Errors.empty()) {
        CGuard guard(key.Params);
        guard.Load(key.Block.data(), (uint32_t)key.Block.size());
        static const int kTableItem[TABLE_COUNT] = {
            ITEM_COMMON_TEXTS, ITEM_LANGUAGE0_TEXTS, ITEM_LANGUAGE1_TEXTS, ITEM_EXTRA_TEXTS};
        for (int table = 0; table < TABLE_COUNT; ++table)
            AddBlob(items, kTableItem[table], guard, BuildTextTableImage(tables[table]),
                    (uint32_t)tables[table].size(), run);
        for (int language = 0; language < 2; ++language) {
            std::u16string check;
            if (!Utf8ToUtf16(licence[language], check))
                run.Errors.push_back("licence " + std::to_string(language) + ": invalid UTF-8");
            const std::string text = WithCrLf(licence[language]);
            AddBlob(items, ITEM_LICENCE0 + language, guard, Bytes(text.begin(), text.end()), 0, run);
        }
        items[ITEM_KEY_BLOCK - 1].IsBlob = false;
        items[ITEM_KEY_BLOCK - 1].Stored = key.Block;

        std::vector<int> missing;
        for (int item = ITEM_LAYOUT_FIRST; item <= ITEM_DOC; ++item) {
            if (item == ITEM_EXTRA_TEXTS)
                continue;
            std::string contents;
            if (paths[item].empty())
                missing.push_back(item);
            else if (ReadFile(paths[item], contents, run))
                AddBlob(items, item, guard, Bytes(contents.begin(), contents.end()), 0, run);
        }
        if (!missing.empty()) {
            std::string list;
            for (int item : missing)
                list += " " + std::to_string(item);
            const std::string message = std::to_string(missing.size())
                                        + " items have no file and are stored empty:" + list;
            (options.RequireComplete ? run.Errors : run.Warnings).push_back(message);
        }
    }

    std::vector<uint32_t> offsets;
    Bytes area;
    if (run.Errors.empty()) {
        area = AssembleArea(items, offsets);
        VerifyArea(area, items, key, run.Errors);
    }

    for (const std::string& warning : run.Warnings)
        fprintf(stderr, "kreska-pack: warning: %s\n", warning.c_str());
    for (const std::string& error : run.Errors)
        fprintf(stderr, "kreska-pack: error: %s\n", error.c_str());
    if (!run.Errors.empty())
        return 1;

    const std::string header = GenerateHeader(items, offsets, (uint32_t)area.size(), key.Params);
    if (!WriteFile(options.Payload, area.data(), area.size())
        || !WriteFile(options.Header, header.data(), header.size())) {
        fprintf(stderr, "kreska-pack: error: cannot write %s or %s\n",
                options.Payload.c_str(), options.Header.c_str());
        return 1;
    }
    if (!options.DepFile.empty())
        WriteDepFile(options, run);
    fprintf(stderr, "kreska-pack: %zu bytes in 88 items\n", area.size());
    return 0;
}
