// The menu from a disc in a cold optical drive (tests/drive): how the drive is read to the
// first frame.

#include "support/Autorun.h"

using namespace support;

namespace support
{
// A drive by its name in the test's output.
void PrintTo (const DriveTiming& timing, std::ostream* out)
{
    *out << timing.name;
}
} // namespace support

class ColdDrive : public testing::TestWithParam<std::tuple<DriveTiming, StartedBy>>
{
};

// Seeks, not seconds: timings on a shared machine are noisy, a drive's seeks are not. However
// the menu is started, the drive reads on from the file's start to its end, once: at most
// one seek (from the disc's directory to the file), and no byte of the file read twice.
TEST_P (ColdDrive, TheMenuIsReadFromTheDiscInOneStream)
{
    const auto& [timing, way] = GetParam();
    OpticalDriveMount drive (juce::File (BRELVAN_DISC_IMAGE), timing);
    ASSERT_TRUE (drive.isMounted()) << drive.whyNotMounted();
    const auto programBytes = drive.root().getChildFile ("OrvalisBrelvan").getSize();

    const auto before = drive.statistics();
    AutorunStart how;
    how.environment = { { "PATH", "/usr/bin:/bin" } };
    Session s (started (way, drive.root(), how));
    ASSERT_TRUE (s.window.has_value()) << "no menu from the disc";
    ASSERT_TRUE (s.pageBecomes (-1));

    const auto after = drive.statistics();
    std::cout << timing.name << ", " << nameOf (way) << ": " << after.reads - before.reads << " reads, " << after.seeks - before.seeks << " seeks, "
              << after.bytes - before.bytes << " bytes of a " << programBytes << "-byte program\n";
    EXPECT_LE (after.seeks - before.seeks, 1);
    // The directory and the autorun file besides, and what the drive reads ahead past the end.
    constexpr long long besides = 512 << 10;
    EXPECT_LE (after.bytes - before.bytes, programBytes + besides);
    s.closeAndExpectStatusZero();
}

INSTANTIATE_TEST_SUITE_P (Drive, ColdDrive, testing::Combine (testing::Values (dvd8x, cd24x), testing::Values (StartedBy::autorun, StartedBy::itsPath)),
                          [] (const testing::TestParamInfo<std::tuple<DriveTiming, StartedBy>>& param)
                          { return juce::String (std::get<0> (param.param).name).removeCharacters (" ").toStdString() + nameOf (std::get<1> (param.param)); });
