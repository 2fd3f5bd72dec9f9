// The model-name table: the rows with conditions, and a sample of every vendor.
#include "probes/hardware/Vesk_CPU.h"

#include <gtest/gtest.h>

#include <ostream>

namespace vardak::probes {
namespace {

constexpr int kUnknown = 0, kIntel = 1, kAMD = 2, kCyrix = 3, kIDT = 4, kNexGen = 5, kUMC = 6, kRise = 7;

struct Lookup {
    int vendor;
    int family;
    int model;
    int brand = 0;
    int type = 0;
    int level2 = 0;
    int mhz = 0;
};

CPUName lookUp(const Lookup& in) {
    return GetCPUName(in.vendor, in.family, in.model, in.brand, in.type, in.level2, in.mhz);
}

void expectName(const CPUName& actual, const std::string& name, const std::string& codeName,
                int32_t transistors) {
    EXPECT_EQ(actual.name, name);
    EXPECT_EQ(actual.codeName, codeName);
    EXPECT_EQ(actual.transistors, transistors);
}

TEST(GetCPUNameTest, CoppermineTakesItsNameFromTheBrandIndex) {
    expectName(lookUp({kIntel, 6, 8, /*brand=*/2}), "Pentium III", "Coppermine (0.18 \xB5m)", 28100000);
    expectName(lookUp({kIntel, 6, 8, /*brand=*/1}), "Celeron", "Coppermine (0.18 \xB5m)", 28100000);
    expectName(lookUp({kIntel, 6, 8, /*brand=*/0}), "Pentium III E", "Coppermine (0.18 \xB5m)", 28100000);
    // An index the brand table does not know leaves the name empty, the rest set.
    expectName(lookUp({kIntel, 6, 8, /*brand=*/5}), "", "Coppermine (0.18 \xB5m)", 28100000);
}

TEST(GetCPUNameTest, OverDriveIsAppendedForIntelProcessorsOfTypeOne) {
    expectName(lookUp({kIntel, 5, 2, 0, /*type=*/1}), "Pentium OverDrive", "P54C (0,50\xB5m)", 3100000);
    expectName(lookUp({kIntel, 5, 2, 0, /*type=*/0}), "Pentium", "P54C (0,50\xB5m)", 3100000);
    expectName(lookUp({kIntel, 4, 8, 0, /*type=*/1}), "i80486DX4 OverDrive", "P24C", 1600000);
    // Only Intel parts: type 1 means nothing for the others.
    expectName(lookUp({kAMD, 5, 6, 0, /*type=*/1}), "K6", "K6 (0.30 \xB5m)", 8800000);
}

TEST(GetCPUNameTest, EarlyCyrixPartsAreToldApartByTheirClock) {
    expectName(lookUp({kCyrix, 4, 0, 0, 0, 0, /*mhz=*/66}), "Cx486SLC/DLC", "M0.5", 600000);
    expectName(lookUp({kCyrix, 4, 0, 0, 0, 0, /*mhz=*/20}), "Cx486SLC/DLC", "M0.5", 600000);
    expectName(lookUp({kCyrix, 4, 0, 0, 0, 0, /*mhz=*/33}), "Cx486S", "M0.6", 600000);
    expectName(lookUp({kCyrix, 4, 0, 0, 0, 0, /*mhz=*/50}), "Cx486S", "M0.6", 600000);
    expectName(lookUp({kCyrix, 4, 0, 0, 0, 0, /*mhz=*/100}), "Cx486DX/DX2/DX4", "M0.7", 1100000);
    expectName(lookUp({kCyrix, 4, 0, 0, 0, 0, /*mhz=*/67}), "Cx486DX/DX2/DX4", "M0.7", 1100000);
    // No measurement, or a clock between the listed ones: nothing is known.
    expectName(lookUp({kCyrix, 4, 0, 0, 0, 0, /*mhz=*/0}), "", "", 0);
    expectName(lookUp({kCyrix, 4, 0, 0, 0, 0, /*mhz=*/40}), "", "", 0);
}

TEST(GetCPUNameTest, DeschutesIsToldApartByItsL2Size) {
    expectName(lookUp({kIntel, 6, 5, 0, 0, /*l2=*/512}), "Pentium II", "Deschutes (0,25\xB5m)", 7500000);
    expectName(lookUp({kIntel, 6, 5, 0, 0, /*l2=*/1}), "Pentium II", "Deschutes (0,25\xB5m)", 7500000);
    expectName(lookUp({kIntel, 6, 5, 0, 0, /*l2=*/1024}), "Pentium II Xeon", "Deschutes (0.25 \xB5m)",
               7500000);
    expectName(lookUp({kIntel, 6, 5, 0, 0, /*l2=*/513}), "Pentium II Xeon", "Deschutes (0.25 \xB5m)",
               7500000);
    expectName(lookUp({kIntel, 6, 5, 0, 0, /*l2=*/0}), "Celeron", "Covington (0,25\xB5m)", 7500000);
}

TEST(GetCPUNameTest, OtherP6RowsWithL2Conditions) {
    // Model 3 compares the L2 size with 333, not the clock.
    expectName(lookUp({kIntel, 6, 3, 0, 0, /*l2=*/333, /*mhz=*/266}), "Pentium II", "P6T (0.25 \xB5m)",
               7500000);
    expectName(lookUp({kIntel, 6, 3, 0, 0, /*l2=*/512, /*mhz=*/333}), "Pentium II",
               "Klamath (0.35 \xB5m)", 7500000);
    expectName(lookUp({kIntel, 6, 6, 0, 0, /*l2=*/256}), "Pentium II PE (mobile)", "Dixon (0.25 \xB5m)",
               27400000);
    expectName(lookUp({kIntel, 6, 6, 0, 0, /*l2=*/128}), "Celeron A", "Mendocino (0.25 \xB5m)", 19000000);
    expectName(lookUp({kIntel, 6, 7, 0, 0, /*l2=*/512}), "Pentium III", "Katmai (0.25 \xB5m)", 9500000);
    expectName(lookUp({kIntel, 6, 7, 0, 0, /*l2=*/2048}), "Pentium III Xeon", "Tanner (0.25 \xB5m)",
               9500000);
}

TEST(GetCPUNameTest, VendorIndexZeroKnowsNothing) {
    for (int family : {4, 5, 6, 15}) {
        for (int model = 0; model < 16; ++model) {
            const CPUName name = GetCPUName(kUnknown, family, model, 2, 1, 512, 66);
            EXPECT_EQ(name.name, "") << family << "/" << model;
            EXPECT_EQ(name.codeName, "");
            EXPECT_EQ(name.transistors, 0);
        }
    }
}

TEST(GetCPUNameTest, UnlistedCombinationsStayEmpty) {
    expectName(lookUp({kAMD, 15, 1}), "", "", 0);        // an Athlon 64
    expectName(lookUp({kAMD, 5, 10}), "", "", 0);
    expectName(lookUp({kIntel, 4, 6}), "", "", 0);
    expectName(lookUp({kIntel, 9, 0}), "", "", 0);
    expectName(lookUp({kIDT, 6, 7}), "", "", 0);        // a VIA C3 answers as Centaur family 6
    expectName(lookUp({kRise, 5, 0}), "", "", 0);
}

TEST(GetCPUNameTest, IntelSamples) {
    expectName(lookUp({kIntel, 4, 0}), "i80486DX", "P4", 1250000);
    expectName(lookUp({kIntel, 4, 1}), "i80486DX", "P4", 1250000);
    expectName(lookUp({kIntel, 4, 9}), "i80486DX4WB", "P24C", 1600000);
    expectName(lookUp({kIntel, 5, 4}), "Pentium MMX", "P55C (0,28\xB5m)", 4500000);
    expectName(lookUp({kIntel, 5, 5}), "DX4", "", 0);
    expectName(lookUp({kIntel, 5, 8}), "Pentium MMX (mobile)", "Tillamook (0,25\xB5m)", 4500000);
    expectName(lookUp({kIntel, 5, 9}), "Pentium", "", 0);
    expectName(lookUp({kIntel, 6, 1}), "Pentium Pro", "P6 (0.35 \xB5m)", 5500000);
    expectName(lookUp({kIntel, 6, 4}), "Pentium II", "P55CT (P54 OverDrive)", 3100000);
    expectName(lookUp({kIntel, 6, 13}), "Pentium II", "", 0);
    expectName(lookUp({kIntel, 7, 0, /*brand=*/3}), "Pentium III Xeon", "", 0);
    expectName(lookUp({kIntel, 8, 0, /*brand=*/8}), "Pentium 4", "", 0);
    expectName(lookUp({kIntel, 10, 0}), "Pentium III Xeon", "", 0);
    expectName(lookUp({kIntel, 15, 2, /*brand=*/9}), "Pentium 4", "", 0);
}

TEST(GetCPUNameTest, AMDSamples) {
    expectName(lookUp({kAMD, 4, 7}), "Am486DX2", "P24", 1250000);
    expectName(lookUp({kAMD, 4, 14}), "Am5x86", "X5", 1600000);
    expectName(lookUp({kAMD, 5, 0}), "K5", "SSA5 (0.50-0.35 \xB5m)", 4300000);
    expectName(lookUp({kAMD, 5, 2}), "K5-5k86 (PR120, PR133)", "5k86 (0.35 \xB5m)", 4300000);
    expectName(lookUp({kAMD, 5, 8}), "K6-II", "Chomper (0.25 \xB5m)", 9300000);
    expectName(lookUp({kAMD, 5, 9}), "K6-III", "Slarptooth (0.25 \xB5m)", 21300000);
    expectName(lookUp({kAMD, 5, 13}), "K6-II+/K6-III+", "", 0);
    expectName(lookUp({kAMD, 6, 1}), "K7", "Athlon (0.25-0.18 \xB5m)", 22000000);
    expectName(lookUp({kAMD, 6, 6}), "Athlon XP", "Athlon XP", 22000000);
    expectName(lookUp({kAMD, 6, 7}), "Duron", "Duron", 22000000);
}

TEST(GetCPUNameTest, CyrixSamples) {
    expectName(lookUp({kCyrix, 4, 9}), "5x86", "M0.9 or M1sc (0.65 \xB5m)", 20000000);
    expectName(lookUp({kCyrix, 5, 2}), "6x86 and 6x86L", "M1 (0.65 \xB5m) and M1L (0.35 \xB5m)", 30000000);
    expectName(lookUp({kCyrix, 6, 0, 0, 0, 0, /*mhz=*/224}), "6x86MX (PR166-266)", "M2 (0.35 \xB5m)",
               65000000);
    expectName(lookUp({kCyrix, 6, 0, 0, 0, 0, /*mhz=*/225}), "M-II (PR300-433)", "M2 (0.35-0.25 \xB5m)",
               65000000);
    expectName(lookUp({kCyrix, 6, 5}), "VIA Cyrix III", "", 0);
}

TEST(GetCPUNameTest, SmallVendorSamples) {
    expectName(lookUp({kIDT, 5, 4}), "WinChip", "C6 (0.35 \xB5m)", 54000000);
    expectName(lookUp({kIDT, 5, 9}), "WinChip 3", "W3 (0.25 \xB5m)", 90000000);
    expectName(lookUp({kNexGen, 5, 0}), "Nx586", "Nx5x86 (0.50-0.44 \xB5m)", 35000000);
    expectName(lookUp({kNexGen, 5, 6}), "Nx686", "HA (0,50\xB5m)", 60000000);
    expectName(lookUp({kUMC, 4, 1}), "U5D", "U5D and U5S", 12000000);
    expectName(lookUp({kUMC, 4, 4}), "U486SX2", "U5D and U5S", 12000000);
    // Every UMC 486 has the family's code name, even one the name rows miss.
    expectName(lookUp({kUMC, 4, 7}), "", "U5D and U5S", 12000000);
    expectName(lookUp({kRise, 4, 0}), "mP6", "mP6 (0.25-0.18 \xB5m)", 36000000);
    expectName(lookUp({kRise, 4, 2}), "mP6", "mP6 (0.25-0.18 \xB5m)", 36000000);
    expectName(lookUp({kRise, 4, 1}), "", "", 0);
}

TEST(GetCPUNameTest, TheMicroSignIsOneWindows1252Byte) {
    const CPUName katmai = lookUp({kIntel, 6, 7, 0, 0, 512});
    const size_t micro = katmai.codeName.find('\xB5');
    ASSERT_NE(micro, std::string::npos);
    EXPECT_EQ(katmai.codeName.substr(micro - 1, 3), " \xB5m");
    // No UTF-8 encoding of the sign (0xC2 0xB5) anywhere in the table.
    for (int vendor = 1; vendor <= 7; ++vendor) {
        for (int family = 4; family <= 6; ++family) {
            for (int model = 0; model < 16; ++model) {
                const CPUName name = GetCPUName(vendor, family, model, 2, 0, 512, 100);
                EXPECT_EQ(name.codeName.find('\xC2'), std::string::npos) << name.codeName;
            }
        }
    }
}

}  // namespace
}  // namespace vardak::probes
