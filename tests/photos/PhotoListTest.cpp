// The photo viewer's lists, stepping, status text and the search for a stored photo name.
#include "photos/PhotoList.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

using Names = std::vector<std::string>;

TEST(PhotoLists, FullNamesSortedAndFileNamesKeptInStep) {
    TPhotoLists lists;
    // Directory order and file-name order disagree: the file names follow their full names.
    lists.Load({"b\\Alpha.jpg", "A\\zulu.jpg", "c\\mid.jpg", "ignored.jpg"}, 3);
    EXPECT_EQ(lists.FullNames(), (Names{"A\\zulu.jpg", "b\\Alpha.jpg", "c\\mid.jpg"}));
    EXPECT_EQ(lists.Names(), (Names{"zulu.jpg", "Alpha.jpg", "mid.jpg"}));

    EXPECT_EQ(lists.Add("B\\beta.jpg"), 2u); // letter case ignored: b\Alpha < B\beta < c\mid
    EXPECT_EQ(lists.Names(), (Names{"zulu.jpg", "Alpha.jpg", "beta.jpg", "mid.jpg"}));
    lists.Remove(0);
    lists.Remove(9); // beyond the end: nothing
    EXPECT_EQ(lists.FullNames(), (Names{"b\\Alpha.jpg", "B\\beta.jpg", "c\\mid.jpg"}));
    EXPECT_EQ(lists.Names(), (Names{"Alpha.jpg", "beta.jpg", "mid.jpg"}));

    // A count above the array's length, or below zero, never reads past it.
    lists.Load({"x.jpg"}, 5);
    EXPECT_EQ(lists.Count(), 1u);
    lists.Load({"x.jpg"}, -1);
    EXPECT_EQ(lists.Count(), 0u);
}

TEST(PhotoLists, Windows1252LettersSortIgnoringCase) {
    EXPECT_TRUE(PhotoNameLess("\xD8ra.jpg", "\xF8sa.jpg")); // Ora < osa with O and o stroked
    EXPECT_FALSE(PhotoNameLess("\xF8sa.jpg", "\xD8ra.jpg"));
    EXPECT_TRUE(PhotoNameLess("A.jpg", "a.jpg")); // equal ignoring case: bytes decide
    EXPECT_FALSE(PhotoNameLess("a.jpg", "a.jpg"));
}

TEST(PicStep, StaysAtBothEndsAndComesBackAfterRemoval) {
    EXPECT_EQ(StepPicture(0, 3, TPicStep::Previous), 0);
    EXPECT_EQ(StepPicture(2, 3, TPicStep::Next), 2);
    // The last of three was removed: the position is beyond the two that remain.
    EXPECT_EQ(StepPicture(2, 2, TPicStep::Next), 1);
    EXPECT_EQ(StepPicture(2, 2, TPicStep::Previous), 0);
    EXPECT_EQ(StepPicture(0, 0, TPicStep::Last), -1);
    EXPECT_EQ(StepPicture(0, 0, TPicStep::Next), -1);
}

TEST(PicStatus, StoringAnEmptyListClearsHasPhotos) {
    Tdatalinje line;
    StorePhotos(line, {"a.jpg"});
    EXPECT_TRUE(line.HasPhotos);
    StorePhotos(line, {});
    EXPECT_EQ(line.PhotoCount, 0);
    EXPECT_FALSE(line.HasPhotos);
}

TEST(PhotoLineOf, TheStationsLineWithPhotos) {
    TKviste cave;
    cave.LineCount = 4;
    cave.Lines.resize(5);
    const char* to[] = {"    ", "A1", "A2", "B1", "A2"}; // line 4 closes a loop at A2
    for (int i = 0; i <= 4; ++i)
        cave.Lines[static_cast<std::size_t>(i)].ToName = str4(to[i]);
    EXPECT_EQ(PhotoLineOf(cave, 4), 2); // neither has photos: the station's first line
    cave.Lines[4].HasPhotos = true;
    EXPECT_EQ(PhotoLineOf(cave, 2), 4);
    cave.Lines[2].HasPhotos = true;
    EXPECT_EQ(PhotoLineOf(cave, 4), 2);
    EXPECT_EQ(PhotoLineOf(cave, 3), 3);
    EXPECT_EQ(PhotoLineOf(cave, 9), 9); // out of range: left to the caller's check
}

TEST(PhotoNames, CandidatesInOrder) {
    EXPECT_EQ(PhotoNameCandidates("..\\foto\\x.jpg", "/d/cave"),
              (Names{"../foto/x.jpg", "/d/cave/../foto/x.jpg", "/d/cave/x.jpg"}));
    EXPECT_EQ(PhotoNameCandidates("C:\\Huler\\x.jpg", "/d/cave"),
              (Names{"C:/Huler/x.jpg", "/d/cave/Huler/x.jpg", "/d/cave/x.jpg"}));
    EXPECT_EQ(PhotoNameCandidates("/abs/x.jpg", "/d/cave"), (Names{"/abs/x.jpg", "/d/cave/x.jpg"}));
    EXPECT_EQ(PhotoNameCandidates("D:x.jpg", "/d"), (Names{"D:x.jpg", "/d/x.jpg"}));
    // Repeats dropped; without a data file only the name as written.
    EXPECT_EQ(PhotoNameCandidates("x.jpg", "/d"), (Names{"x.jpg", "/d/x.jpg"}));
    EXPECT_EQ(PhotoNameCandidates("a\\x.jpg", ""), (Names{"a/x.jpg"}));
    EXPECT_TRUE(PhotoNameCandidates("", "/d").empty());
    EXPECT_TRUE(PhotoNameCandidates("C:\\Huler\\", "/d").empty());
}

TEST(PhotoNames, ResolvedOnDisk) {
    TempDir tmp;
    const std::string cave = tmp.File("hule");
    fs::create_directories(cave);
    fs::create_directories(tmp.File("foto"));
    WriteFileBytes(tmp.File("foto/x.jpg"), "x");
    WriteFileBytes(cave + "/Inngang.JPG", "i");
    fs::create_directories(cave + "/dir.jpg");

    EXPECT_EQ(fs::weakly_canonical(ResolvePhotoName("..\\foto\\x.jpg", cave)),
              fs::weakly_canonical(tmp.File("foto/x.jpg")));
    // Another system's folder: the file name in the data folder, then ignoring letter case.
    EXPECT_EQ(ResolvePhotoName("C:\\Huler\\Foto\\Inngang.JPG", cave), cave + "/Inngang.JPG");
    EXPECT_EQ(ResolvePhotoName("E:\\inngang.jpg", cave), cave + "/Inngang.JPG");
    EXPECT_EQ(ResolvePhotoName("missing.jpg", cave), "");
    EXPECT_EQ(ResolvePhotoName("dir.jpg", cave), ""); // a folder is no picture
    EXPECT_EQ(ResolvePhotoName("x.jpg", tmp.File("nowhere")), "");
}

TEST(PictureFilter, ListsExactlyTheGivenFormatsInBothCases) {
    EXPECT_EQ(PictureFilter({"jpg", "bmp", "jpg"}),
              "All pictures (*.bmp *.BMP *.jpg *.JPG);;BMP (*.bmp *.BMP);;JPG (*.jpg *.JPG)");
    EXPECT_EQ(PictureFilter({}), "All pictures ()");
}
