#include <gtest/gtest.h>

#include "common/Failure.h"
#include "datfile/Dataset.h"
#include "datfile/FixedText.h"

using namespace kestrane;

TEST(FixedText, CopiesFromTheLeftPadsWithBlanksAndCutsAtTwenty)
{
    struct Case { std::u16string assigned, held; };
    const Case cases[] = {
        {u"", u"                    "},
        {u"Temp", u"Temp                "},
        {u"12345678901234567890", u"12345678901234567890"},
        {u"12345678901234567890XYZ", u"12345678901234567890"},
        {std::u16string(u"a\0b", 3), std::u16string(u"a\0b", 3) + std::u16string(17, u' ')},
    };
    for (const auto &c : cases) {
        FixedText text;
        text = c.assigned;
        EXPECT_EQ(text.text(), c.held);
        EXPECT_EQ(text.text().size(), 20u);
    }
}

TEST(Windows1252, DecodesEveryByteToOneCharacter)
{
    struct Case { unsigned char byte; char16_t character; };
    const Case cases[] = {
        {0x00, u'\0'}, {0x20, u' '}, {0x41, u'A'}, {0x7F, 0x7F},
        {0x80, u'€'}, {0x81, 0x81}, {0x8A, u'Š'}, {0x9F, u'Ÿ'},
        {0xA0, 0xA0}, {0xB5, u'µ'}, {0xE9, u'é'}, {0xFF, u'ÿ'},
    };
    for (const auto &c : cases) {
        const std::string bytes(1, char(c.byte));
        EXPECT_EQ(decodeWindows1252(bytes), std::u16string(1, c.character)) << int(c.byte);
    }
}

TEST(Dataset, SizingGivesEmptySlotsZeroToPointCountAndDropsOldValues)
{
    Dataset data;
    data.pointCount = 3;
    data.sizeValueArrays();
    data.pointIndex = 2;
    data.storeValue(7, 1.5f);
    data.pointCount = 2;
    data.sizeValueArrays();
    for (const auto &channel : data.channelValues) {
        ASSERT_EQ(channel.size(), 3u);
        for (const auto &slot : channel)
            EXPECT_FALSE(slot.has_value());
    }
}

TEST(Dataset, NegativePointCountCannotSizeTheArrays)
{
    Dataset data;
    data.pointCount = -1;
    try {
        data.sizeValueArrays();
        FAIL();
    } catch (const Failure &f) {
        EXPECT_EQ(f.number(), SubscriptOutOfRange);
    }
}

TEST(Dataset, StoringOutsideTheArraysFails)
{
    Dataset data;
    data.pointCount = 1;
    data.sizeValueArrays();
    data.pointIndex = 2;
    EXPECT_THROW(data.storeValue(1, 0.f), Failure);
    data.pointIndex = 0;
    EXPECT_THROW(data.storeValue(8, 0.f), Failure);
    EXPECT_THROW(data.storeValue(0, 0.f), Failure);
}

TEST(Dataset, ErasingReleasesStorageButKeepsCountsNamesAndTiming)
{
    Dataset data;
    data.pointCount = 100;
    data.sizeValueArrays();
    data.timeSettings = {5, 7};
    data.channelNames[0] = u"Flow";
    data.eraseValues();
    for (const auto &channel : data.channelValues) {
        EXPECT_EQ(channel.size(), 0u);
        EXPECT_EQ(channel.capacity(), 0u);
    }
    EXPECT_EQ(data.pointCount, 100);
    EXPECT_EQ(data.timeSettings[0], 5);
    EXPECT_EQ(data.channelNames[0].text(), u"Flow                ");
}
