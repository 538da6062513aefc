// The universe as a document: title and modified marker, Save and Save As,
// and the "save changes?" question before anything is lost.
#include <filesystem>
#include <vector>

#include "DocumentFixture.h"

TEST_F(DocumentTest, TheTitleNamesTheDocumentAndMarksChangesUntilUndoneOrSaved) {
    EXPECT_EQ(Shown(), TitleIs("Untitled", false));
    ChangePushesPerFrame(32);
    EXPECT_EQ(Shown(), TitleIs("Untitled", true));
    Choose(kEditMenu, 1);
    EXPECT_EQ(Shown(), TitleIs("Untitled", false)) << "undone back to the state as it was";
    Choose(kEditMenu, 2);
    EXPECT_EQ(Shown(), TitleIs("Untitled", true));
    // The window is told only when something changed, not on every frame.
    const size_t told = window.titles.size();
    RefreshDocumentTitle();
    RefreshDocumentTitle();
    EXPECT_EQ(window.titles.size(), told);

    backend.savePaths = {File("Jupiter system.universe")};
    Choose(kFileMenu, kSaveItem);
    EXPECT_EQ(Shown(), TitleIs("Jupiter system", false));
    Choose(kEditMenu, 1);
    EXPECT_EQ(Shown(), TitleIs("Jupiter system", true)) << "undoing past the save is a change too";
}

TEST_F(DocumentTest, SaveAsksForAFileOnceThenWritesInPlace) {
    ASSERT_EQ(AddABody(EditorTest::Named("Sun")), 1);
    ChangePushesPerFrame(8);
    backend.savePaths = {File("one.universe"), File("two.universe")};
    Choose(kFileMenu, kSaveItem);
    ASSERT_TRUE(std::filesystem::exists(File("one.universe")));
    EXPECT_EQ(backend.suggested, std::vector<std::string>{"Untitled.universe"});
    EXPECT_EQ(DocumentPath(), File("one.universe"));

    ASSERT_EQ(AddABody(EditorTest::Named("Earth")), 1);
    ChangePushesPerFrame(9);
    Choose(kFileMenu, kSaveItem);
    EXPECT_EQ(backend.suggested.size(), 1u) << "Save did not ask again";
    EXPECT_FALSE(IsDocumentModified());
    // Save As asks, suggesting the present name, and the document follows the new file.
    Choose(kFileMenu, kSaveAsItem);
    EXPECT_EQ(backend.suggested.back(), "one.universe");
    EXPECT_EQ(DocumentName(), "two");
    // What was written comes back.
    DeallocateAllPushMemory();
    ASSERT_TRUE(OpenDocumentFile(File("one.universe")));
    ASSERT_NE(BodyList(), nullptr);
    EXPECT_EQ(BodyList()->count, 2);
    EXPECT_EQ(set.pushesPerFrame, 9);
    EXPECT_EQ(DocumentName(), "one");
}

TEST_F(DocumentTest, OpeningAsksAboutUnsavedChangesFirst) {
    ASSERT_EQ(AddABody(EditorTest::Named("Sun")), 1);
    ASSERT_TRUE(SaveAllSettingsTo(File("sun.universe"), true));
    ChangePushesPerFrame(5);
    backend.chosenFiles = {File("sun.universe"), File("sun.universe")};

    Answer(kSaveChangesCancelItem);
    Choose(kFileMenu, kOpenItem);
    EXPECT_EQ(backend.nextFile, 0u) << "cancel: no file is even asked for";
    EXPECT_EQ(set.pushesPerFrame, 5);
    const DialogRecord& asked = backend.dialogs.back();
    EXPECT_NE(asked.texts.at(kSaveChangesQuestionItem).find("Untitled"), std::string::npos);

    Answer(kSaveChangesDiscardItem);
    Choose(kFileMenu, kOpenItem);
    EXPECT_EQ(DocumentName(), "sun");
    EXPECT_FALSE(IsDocumentModified());
    EXPECT_FALSE(CanUndo());

    // Unchanged: nothing is asked.
    const size_t dialogs = backend.opened;
    EXPECT_TRUE(OpenDocumentFile(File("sun.universe")));
    EXPECT_EQ(backend.opened, dialogs);
}

TEST_F(DocumentTest, SavingFromTheQuestionMustSucceedToGoOn) {
    ChangePushesPerFrame(7);
    EXPECT_TRUE(IsDocumentModified());
    // Save chosen, then the save dialog cancelled: the changes stay and nothing goes on.
    Answer(kSaveChangesSaveItem);
    EXPECT_FALSE(AskToSaveChanges());
    EXPECT_TRUE(IsDocumentModified());
    // Save chosen and a file given: saved, and on we go.
    Answer(kSaveChangesSaveItem);
    backend.savePaths = {File("kept.universe")};
    EXPECT_TRUE(AskToSaveChanges());
    EXPECT_TRUE(std::filesystem::exists(File("kept.universe")));
    EXPECT_FALSE(IsDocumentModified());
    // A file that cannot be written is not a reason to lose the changes.
    ChangePushesPerFrame(6);
    ResetDocumentForTesting();
    ChangePushesPerFrame(4);
    Answer(kSaveChangesSaveItem);
    backend.savePaths.push_back(File("no-such-folder/x.universe"));
    EXPECT_FALSE(AskToSaveChanges());
    EXPECT_FALSE(backend.alerts.empty());
    EXPECT_TRUE(IsDocumentModified());
}
