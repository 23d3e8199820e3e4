// Listings in the three forms, and the arguments the listing commands share.
#include "formats/listing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <sstream>

#include "formats/commandsupport.h"
#include "support/projectdb.h"

namespace {

using namespace strataloom::formats;

std::string Written(const Listing& listing, ListingFormat format) {
    std::ostringstream out;
    WriteListing(out, listing, format);
    return out.str();
}

TEST(Listing, EachFormKeepsAwkwardNamesAndTellsMissingValues) {
    const Listing listing{
        {"Name", "Top"},
        {{TextCell("Top, \"A\""), NumberCell(1020.5)},
         {TextCell("Ölfeld\tSüd"), NumberCell(-99999.0, -99999.0)},
         {TextCell(" edge "), NumberCell(std::numeric_limits<double>::infinity())}}};
    EXPECT_EQ("Name,Top\r\n\"Top, \"\"A\"\"\",1020.5\r\nÖlfeld\tSüd,\r\n\" edge \",\r\n",
              Written(listing, ListingFormat::kCsv));
    EXPECT_EQ(
        "[\n {\"Name\": \"Top, \\\"A\\\"\", \"Top\": 1020.5},\n"
        " {\"Name\": \"Ölfeld\\tSüd\", \"Top\": null},\n {\"Name\": \" edge \", \"Top\": "
        "null}\n]\n",
        Written(listing, ListingFormat::kJson));
    // Columns padded by characters, not bytes.
    EXPECT_EQ("Name        Top\nTop, \"A\"    1020.5\nÖlfeld\tSüd  -\n edge       -\n",
              Written(listing, ListingFormat::kTable));
    EXPECT_EQ("[]\n", Written({{"Name"}, {}}, ListingFormat::kJson));
    EXPECT_EQ("\"\\u0001\"", JsonString("\x01"));
    ListingFormat format = ListingFormat::kTable;
    EXPECT_TRUE(ParseListingFormat("json", format));
    EXPECT_EQ(ListingFormat::kJson, format);
    EXPECT_FALSE(ParseListingFormat("xml", format));
}

TEST(Listing, CountsSayOneOrMany) {
    EXPECT_EQ("1 well", Counted(1, "well"));
    EXPECT_EQ("0 wells", Counted(0, "well"));
    EXPECT_EQ("2 depth steps", Counted(2, "depth step"));
}

TEST(CommandSupport, DepthRangesScalesAndProjectFolders) {
    std::ostringstream err;
    DepthRange range;
    EXPECT_TRUE(ParseDepthRange("1000:1200.5", range, err));
    EXPECT_TRUE(range.Holds(1200.5));
    EXPECT_FALSE(range.Holds(999.9));
    DepthRange open;
    EXPECT_TRUE(ParseDepthRange(":2000", open, err));
    EXPECT_TRUE(open.Holds(-5.0));
    for (const char* bad : {"1000", "2000:1000", "a:b", ":"}) {
        DepthRange wrong;
        EXPECT_FALSE(ParseDepthRange(bad, wrong, err)) << bad;
    }
    std::vector<PlotScale> scales;
    EXPECT_TRUE(ParsePlotScales({"GR=0:150", "RT=2000:0.2"}, scales, err));
    ASSERT_EQ(2u, scales.size());
    EXPECT_EQ(0.2, scales[1].low);  // either order
    EXPECT_FALSE(ParsePlotScales({"GR=1:1"}, scales, err));
    EXPECT_FALSE(ParsePlotScales({"GR"}, scales, err));

    testsupport::TempDir dir;
    std::filesystem::create_directory(dir.Path() / "Field");
    const std::string folder = (dir.Path() / "Field").string();
    EXPECT_EQ(folder + "/Field.mdb", ProjectConnect(folder));
    EXPECT_EQ(folder + "/Field.mdb", ProjectConnect(folder + "/"));
    EXPECT_EQ(folder + "/Field.mdb", ProjectConnect("sqlite:" + folder));
    EXPECT_EQ("host=/x dbname=Field", ProjectConnect("host=/x dbname=Field"));
    EXPECT_EQ(folder + "/Other.mdb", ProjectConnect(folder + "/Other.mdb"));
}

}  // namespace
