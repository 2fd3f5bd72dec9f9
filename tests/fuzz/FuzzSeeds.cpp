// Writes the seed inputs the fuzz targets start from, into the build tree:
//   vardak_fuzz_seeds SMBIOS_DUMP_FOLDER OUTPUT_FOLDER
// OUTPUT_FOLDER/smbios-area and smbios-table get each real SMBIOS dump as the BIOS
// area and as the firmware-table blob it stands for; OUTPUT_FOLDER/version gets
// version resources of both layouts from the test builder.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "probes/hardware/SmbiosDump.h"
#include "probes/hardware/Vesk_SMBIOS.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/SmbiosBuilder.h"
#include "tests/support/VersionResourceBuilder.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Bytes readFile(const fs::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!stream) throw std::runtime_error("cannot write " + path.string());
}

// The area up to its last byte that is not zero, after the area target's layout
// byte (0: laid from F0000h on).
Bytes areaSeed(const vardak::probes::TBIOSArea& area) {
    auto end = area.end();
    while (end != area.begin() && *(end - 1) == 0) --end;
    Bytes seed{0};
    seed.insert(seed.end(), area.begin(), end);
    return seed;
}

// The decoded table in the blob the firmware-table interface hands out.
Bytes firmwareTableSeed(const vardak::probes::SMBIOSImage& image) {
    vardak::testing::FakePlatform machine;
    vardak::probes::TSMBIOS reader(machine);
    reader.LoadImage(image);
    reader.GetInfo(0);
    unsigned major = 0;
    unsigned minor = 0;
    std::sscanf(reader.Version().c_str(), "%u.%u", &major, &minor);
    return vardak::testing::rsmbBlobOf(static_cast<uint8_t>(major), static_cast<uint8_t>(minor),
                                       reader.ReadBlock(reader.TableAddress(), reader.TableLength()));
}

void writeSmbiosSeeds(const fs::path& dumps, const fs::path& output) {
    fs::create_directories(output / "smbios-area");
    fs::create_directories(output / "smbios-table");
    for (const fs::directory_entry& entry : fs::directory_iterator(dumps)) {
        if (entry.path().extension() != ".bin") continue;
        const Bytes dump = readFile(entry.path());
        const vardak::probes::SMBIOSImage image = vardak::probes::ParseSMBIOSDump(dump);
        const std::string name = entry.path().stem().string();
        writeFile(output / "smbios-area" / name, areaSeed(image.area));
        writeFile(output / "smbios-table" / name, firmwareTableSeed(image));
    }
}

void writeVersionSeeds(const fs::path& output) {
    using vardak::testing::VersionResourceBuilder;
    fs::create_directories(output / "version");
    VersionResourceBuilder full;
    full.fileVersion(5, 1, 2600, 5512)
        .translation(0x0409, 1252)
        .translation(0x0406, 1252)
        .string("CompanyName", u"Company \u00e6\u00f8\u00e5")
        .string("FileDescription", u"Description")
        .string("ProductName", u"Product")
        .string("LegalCopyright", u"\u00a9 2003")
        .string("Comments", u"\u4e2d");
    VersionResourceBuilder bare;
    bare.withoutFixedInfo().string("ProductName", u"Product");
    writeFile(output / "version" / "wide", full.buildWide());
    writeFile(output / "version" / "ansi", full.buildAnsi());
    writeFile(output / "version" / "wide-bare", bare.buildWide());
    writeFile(output / "version" / "ansi-bare", bare.buildAnsi());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: vardak_fuzz_seeds SMBIOS_DUMP_FOLDER OUTPUT_FOLDER\n";
        return 2;
    }
    try {
        writeSmbiosSeeds(argv[1], argv[2]);
        writeVersionSeeds(argv[2]);
    } catch (const std::exception& failure) {
        std::cerr << "vardak_fuzz_seeds: " << failure.what() << "\n";
        return 1;
    }
    return 0;
}
