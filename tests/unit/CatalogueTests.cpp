#include "artwork/ArtworkPicture.h"
#include "support/CommittedPictures.h"
#include "support/InProcess.h"

#include <gtest/gtest.h>
#include <set>

using namespace support;

TEST (Catalogue, HoldsTheCommittedFilesAtAddressesOfTheirOwn)
{
    std::set<const char*> addresses;
    for (auto& row : catalogue)
    {
        SCOPED_TRACE (row.name);
        EXPECT_EQ (juce::MemoryBlock (row.entry.data, static_cast<size_t> (row.entry.size)), committedBytes (row.name));
        addresses.insert (row.entry.data);
    }
    EXPECT_EQ (addresses.size(), std::size (catalogue));
}

// The pages draw what ArtworkPicture hands out: one image per entry, the same each time. The
// first drawing decodes the rest of its set ahead, one picture per message; drawing at the
// other scale decodes the other set, and every picture then lets its first set go.
TEST (Catalogue, DecodesAheadInTheSetInUseAndLetsTheOtherSetGo)
{
    std::vector<juce::Image> pictures;
    std::set<juce::ImagePixelData*> distinct;
    for (auto& row : catalogue)
    {
        SCOPED_TRACE (row.name);
        const auto picture = ArtworkPicture::of (row.entry);
        ASSERT_TRUE (picture.isValid());
        EXPECT_EQ (picture.getBounds(), juce::Rectangle<int> (row.width, row.height));
        EXPECT_EQ (ArtworkPicture::of (row.entry).getPixelData(), picture.getPixelData());
        distinct.insert (picture.getPixelData());
        pictures.push_back (picture);
    }
    EXPECT_EQ (distinct.size(), std::size (catalogue)) << "the four Return pictures are alike, yet entries of their own";

    int allDecoded = 0;
    ArtworkPicture::whenAllDecoded ([&allDecoded]
                                    { ++allDecoded; });
    const auto waitForAllDecoded = [&allDecoded] (int times)
    {
        for (int i = 0; i < 400 && allDecoded < times; ++i)
            support::runMessageLoop (5);
        return allDecoded;
    };

    // Only the first picture is drawn; every other one is decoded all the same.
    EXPECT_TRUE (ArtworkPicture::forScale (pictures[0], 1.0f).isValid());
    EXPECT_EQ (waitForAllDecoded (1), 1);
    std::vector<juce::Image> atOneToOne;
    for (auto& picture : pictures)
        atOneToOne.push_back (ArtworkPicture::forScale (picture, 1.0f));
    for (auto& pixels : atOneToOne)
        EXPECT_EQ (pixels.getPixelData()->getReferenceCount(), 2) << "held by its picture and here";

    const auto twice = ArtworkPicture::forScale (pictures[0], 2.0f);
    EXPECT_EQ (twice.getBounds(), pictures[0].getBounds() * 2);
    EXPECT_EQ (waitForAllDecoded (2), 2);
    for (size_t i = 0; i < pictures.size(); ++i)
    {
        EXPECT_EQ (atOneToOne[i].getPixelData()->getReferenceCount(), 1) << catalogue[i].name << " kept its 1x pixels";
        EXPECT_EQ (ArtworkPicture::forScale (pictures[i], 2.0f).getBounds(), pictures[i].getBounds() * 2) << catalogue[i].name;
    }
    ArtworkPicture::whenAllDecoded (nullptr);
}
