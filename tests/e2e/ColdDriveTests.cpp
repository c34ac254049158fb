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

class ColdDrive : public testing::TestWithParam<DriveTiming>
{
};

// Seeks, not seconds: timings on a shared machine are noisy, a drive's seeks are not.
TEST_P (ColdDrive, TheMenuIsReadFromTheDiscInOneStream)
{
    OpticalDriveMount drive (juce::File (BRELVAN_DISC_IMAGE), GetParam());
    ASSERT_TRUE (drive.isMounted()) << drive.whyNotMounted();

    const auto before = drive.statistics();
    AutorunStart how;
    how.environment = { { "PATH", "/usr/bin:/bin" } };
    Session s (throughAutorun (drive.root(), how));
    ASSERT_TRUE (s.window.has_value()) << "no menu from autorun.sh";
    ASSERT_TRUE (s.pageBecomes (-1));

    const auto after = drive.statistics();
    std::cout << GetParam().name << ": " << after.reads - before.reads << " reads, " << after.seeks - before.seeks << " seeks, "
              << after.bytes - before.bytes << " bytes\n";
    EXPECT_LE (after.seeks - before.seeks, 2);
    s.closeAndExpectStatusZero();
}

INSTANTIATE_TEST_SUITE_P (Drive, ColdDrive, testing::Values (dvd8x, cd24x),
                          [] (const testing::TestParamInfo<DriveTiming>& timing)
                          { return juce::String (timing.param.name).removeCharacters (" ").toStdString(); });
