// The quality view of a written epoch: written values and digits, raw densities, the fix.
#include <gtest/gtest.h>

#include "convert/QualityFeed.h"

TEST(QualityFeed, CarriesWrittenValuesRawDensitiesAndTheFix) {
    RinexEpoch written;
    written.Sat(4).SetValue(kC1, 21565852.190);
    written.Sat(4).SetValue(kL2, -4479034.461, 5, 6);
    ObservationEpoch raw;
    raw.Sat(4).SetCn0(47);
    raw.Sat(6).SetCn0(40);  // not written: left out
    GeoPosition fix;
    fix.SetCartesian(-3976219.5082, 3382372.5671, 3652512.9849);
    const QualityEpoch q = QualityEpochOf(written, raw, true, fix);
    EXPECT_EQ(q.sat[4].mask, (1u << kC1) | (1u << kL2));
    EXPECT_EQ(q.sat[4].lli[kL2], 5);
    EXPECT_EQ(q.sat[4].cn0, 47);
    EXPECT_FALSE(q.sat[6].Present());
    EXPECT_EQ(q.z, 3652512.9849);
    EXPECT_FALSE(QualityEpochOf(written, raw, false, fix).fixed);
}
