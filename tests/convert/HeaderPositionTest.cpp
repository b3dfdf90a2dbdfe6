// A header written with the default position gets the first fix in place: the
// record found in real headers of both RINEX versions, and the patched header equal
// to one written with the fix from the start.
#include <gtest/gtest.h>

#include "convert/HeaderPosition.h"
#include "convert/rinex/RinexObsHeader.h"
#include "convert/rinex/RinexWriter.h"

TEST(HeaderPosition, PatchedHeaderEqualsOneWrittenWithTheFix) {
    for (const int version : {2, 3}) {
        RinexObsHeader h;
        h.markerName = "ALGO";
        h.SetApproxPosition(0.0, 0.0, 0.0);
        const std::string withDefault = RinexWriterFor(version).obsHeader(h);
        h.SetApproxPosition(918129.1937, -4346071.2431, 4561977.8768);
        const std::string withFix = RinexWriterFor(version).obsHeader(h);

        const std::optional<HeaderRecordPlace> place = ApproxPositionPlace(withDefault);
        ASSERT_TRUE(place) << version;
        EXPECT_TRUE(place->offset == 0 || withDefault[place->offset - 1] == '\n') << version;
        const std::optional<std::string> patch =
            ApproxPositionPatch(*place, 918129.1937, -4346071.2431, 4561977.8768);
        ASSERT_TRUE(patch) << version;
        std::string patched = withDefault;
        patched.replace(place->offset, place->length, *patch);
        EXPECT_EQ(patched, withFix) << version;
    }
}

TEST(HeaderPosition, NoPlaceNoPatch) {
    EXPECT_FALSE(ApproxPositionPlace("     2.11           OBSERVATION DATA    G (GPS)             RINEX VERSION / TYPE\n"));
    // A place of another width (a header of another form) is never written over.
    EXPECT_FALSE(ApproxPositionPatch(HeaderRecordPlace{0, 61}, 1.0, 2.0, 3.0));
}
