// The language texts on a described set of controls: keys, seeding per language, and failures that
// stop the work on one control only.

#include "framework/Cp1252.h"
#include "framework/IniAccess.h"
#include "tests/support/TestSupport.h"
#include "texts/ToolTipTexts.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

// What one control shows after the texts were applied.
struct FakeControl {
  QString caption;
  QString toolTip;
};

class ToolTipTextsTest : public ::testing::Test {
 protected:
  QString Ini() const { return install.program() + QStringLiteral("/Documentation_Config.ini"); }
  void WriteIni(const QString& text) {
    QString crlf = text;
    crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    WriteFile(Ini(), EncodeCp1252(crlf));
  }
  QString Entry(const QString& section, const QString& key) const {
    return LoadIniString(context->errors, section, key, Ini());
  }
  // Whether the file holds the key at all (the forms used here have one language section).
  bool Has(const QString& key) const {
    return ReadFile(Ini()).contains((QStringLiteral("\r\n") + key + QStringLiteral("=")).toLatin1());
  }

  TextControl Add(const QString& name, const QString& cls, const QString& tag, std::optional<int> index,
                  int helpId, const QString& caption = {}) {
    TextControl control{name, cls, tag, index, helpId, {}, true};
    if (const QString upper = cls.toUpper();
        upper == "LABEL" || upper == "COMMANDBUTTON" || upper == "CHECKBOX") {
      control.caption = caption;
    }
    controls.push_back(control);
    return control;
  }
  // Applies the texts to the described controls, as the window does, and takes the messages' texts.
  void LoadToolTipTexts() {
    LanguageTexts loaded = LoadLanguageTexts(context->errors, Ini(), controls, messages);
    const std::vector<ControlTexts>& texts = loaded.controls;
    messageTexts = std::move(loaded.messages);
    fakes.clear();
    for (size_t i = 0; i < controls.size(); ++i) {
      const TextControl& c = controls[i];
      fakes[c.name + (c.index ? QString::number(*c.index) : QString())] = FakeControl{
          texts[i].caption.value_or(c.caption.value_or(QString())), texts[i].toolTip.value_or(QString())};
    }
  }
  // A small form: a header, a labelled array, text boxes, a button, a frame and a tab strip.
  void AddForm() {
    Add("Header", "LABEL", "", std::nullopt, 0, "Documentation - Customer Configuration");
    Add("TabStripMachine", "TABSTRIP", "NoTTT", std::nullopt, 0);
    Add("FrameExe", "FRAME", "", std::nullopt, 11);
    Add("LabelKeyNumber", "LABEL", "NoTTT", 1, 11, "1");
    Add("LabelKeyNumber", "LABEL", "NoTTT", 2, 11, "2");
    Add("TextExe", "TEXTBOX", "", 1, 11);
    Add("TextExe", "TEXTBOX", "", 2, 11);
    Add("CommandOK", "COMMANDBUTTON", "", std::nullopt, 0);
  }
  const FakeControl& Fake(const QString& key) { return fakes.at(key); }

  TempInstall install;
  ScriptedPort port;
  std::unique_ptr<ProjectContext> context = install.Context(port);
  std::vector<TextControl> controls;
  std::map<QString, FakeControl> fakes;
  std::vector<TextMessage> messages;
  std::vector<QString> messageTexts;
};

}  // namespace

TEST_F(ToolTipTextsTest, NativeLanguageSeedsCaptionsWithTheDesignTexts) {
  AddForm();
  messages = {{QStringLiteral("DriveFault"), QStringLiteral("Fault: only 'G' To 'X'")}};
  LoadToolTipTexts();
  EXPECT_EQ(Entry("Language", "Language"), QStringLiteral("1031"));
  EXPECT_EQ(Entry("1031", "Caption_Header_"), QStringLiteral("Documentation - Customer Configuration"));
  EXPECT_EQ(Entry("1031", "TTT_Header_"), QStringLiteral("0"));
  EXPECT_EQ(Entry("1031", "Caption_LabelKeyNumber2_NoTTT"), QStringLiteral("2"));
  EXPECT_EQ(Entry("1031", "Help11"), QStringLiteral("0"));
  EXPECT_EQ(Entry("1031", "TTT_TextExe1_"), QStringLiteral("0"));
  EXPECT_EQ(Entry("1031", "TTT_FrameExe_"), QStringLiteral("0"));
  EXPECT_TRUE(Has("Caption_CommandOK_"));
  EXPECT_TRUE(Has("TTT_CommandOK_"));
  // Tagged NoTTT: no tool-tip key. Not a label, button or check box: no caption key.
  EXPECT_FALSE(Has("TTT_LabelKeyNumber1_NoTTT"));
  EXPECT_FALSE(Has("TTT_TabStripMachine_NoTTT"));
  EXPECT_FALSE(Has("Caption_TextExe1_"));
  EXPECT_FALSE(Has("Caption_FrameExe_"));
  // A message is no caption: its English text is shown, and its key waits for the translation.
  EXPECT_EQ(Entry("1031", "Message_DriveFault_"), QStringLiteral("0"));
  EXPECT_EQ(messageTexts, std::vector<QString>{QStringLiteral("Fault: only 'G' To 'X'")});
  // The seeded file is read back the same way next time.
  const QByteArray seeded = ReadFile(Ini());
  LoadToolTipTexts();
  EXPECT_EQ(ReadFile(Ini()), seeded);
  EXPECT_TRUE(port.questions.empty());
}

TEST_F(ToolTipTextsTest, OtherLanguagesSeedEveryMissingKeyWithZero) {
  WriteIni("[Language]\nLanguage=1033\n[1033]\n");
  AddForm();
  LoadToolTipTexts();
  EXPECT_EQ(Entry("1033", "Caption_Header_"), QStringLiteral("0"));
  EXPECT_EQ(Entry("1033", "Caption_LabelKeyNumber1_NoTTT"), QStringLiteral("0"));
  EXPECT_EQ(Entry("1033", "Caption_CommandOK_"), QStringLiteral("0"));
  EXPECT_EQ(Entry("1033", "Help11"), QStringLiteral("0"));
  // The controls keep their design texts.
  EXPECT_EQ(Fake("Header").caption, QStringLiteral("Documentation - Customer Configuration"));
  EXPECT_EQ(Fake("LabelKeyNumber1").caption, QStringLiteral("1"));
  EXPECT_TRUE(Fake("TextExe1").toolTip.isEmpty());
}

TEST_F(ToolTipTextsTest, TranslatedTextsAreApplied) {
  WriteIni(
      "[Language]\nLanguage=1033\n[1033]\nCaption_Header_=Customer documentation\nTTT_TextExe2_=Document of "
      "key 2\n"
      "Caption_LabelKeyNumber1_NoTTT=0\nHelp11=Document shown by the key\n"
      "message_valuetoolong_=At most 254 characters\nMessage_DriveFault_=0\n"
      "Text_KeyHeader_=Button\nText_NumberHeader_=\n");
  AddForm();
  messages = {{QStringLiteral("ValueTooLong"), QStringLiteral("Fault: a value holds at most 254 characters")},
              {QStringLiteral("DriveFault"), QStringLiteral("Fault: only 'G' To 'X'")},
              {QStringLiteral("NetValueTooLong"), QStringLiteral("Fault in net address %1")},
              {QStringLiteral("KeyHeader"), QStringLiteral("Key"), kFixedTextPrefix},
              {QStringLiteral("NumberHeader"), QStringLiteral("No."), kFixedTextPrefix},
              {QStringLiteral("DriveFault"), QStringLiteral("Drive fault"), kFixedTextPrefix}};
  LoadToolTipTexts();
  EXPECT_EQ(Fake("Header").caption, QStringLiteral("Customer documentation"));
  EXPECT_EQ(Fake("TextExe2").toolTip, QStringLiteral("Document of key 2"));
  EXPECT_TRUE(Fake("TextExe1").toolTip.isEmpty());
  // "0" means untranslated: the design text stays, and so does the entry.
  EXPECT_EQ(Fake("LabelKeyNumber1").caption, QStringLiteral("1"));
  EXPECT_EQ(Entry("1033", "Caption_LabelKeyNumber1_NoTTT"), QStringLiteral("0"));
  EXPECT_EQ(Entry("1033", "Help11"), QStringLiteral("Document shown by the key"));
  // Messages: the translation (its key in any case), else the English text; a missing key is seeded.
  // Fixed texts the same way under their own prefix: a message and a fixed text may share a name.
  EXPECT_EQ(messageTexts,
            (std::vector<QString>{QStringLiteral("At most 254 characters"),
                                  QStringLiteral("Fault: only 'G' To 'X'"),
                                  QStringLiteral("Fault in net address %1"), QStringLiteral("Button"),
                                  QStringLiteral("No."), QStringLiteral("Drive fault")}));
  EXPECT_EQ(Entry("1033", "Message_DriveFault_"), QStringLiteral("0"));
  EXPECT_EQ(Entry("1033", "Message_NetValueTooLong_"), QStringLiteral("0"));
  EXPECT_EQ(Entry("1033", "Text_NumberHeader_"), QStringLiteral("0"));
  EXPECT_EQ(Entry("1033", "Text_DriveFault_"), QStringLiteral("0"));
}

TEST_F(ToolTipTextsTest, UntranslatedNativeCaptionIsReplacedByTheCurrentOne) {
  WriteIni("[Language]\nLanguage=1031\n[1031]\nCaption_Header_=0\nHelp11=0\n");
  AddForm();
  LoadToolTipTexts();
  EXPECT_EQ(Entry("1031", "Caption_Header_"), QStringLiteral("Documentation - Customer Configuration"));
  EXPECT_EQ(Entry("1031", "Help11"), QStringLiteral("0"));
}

TEST_F(ToolTipTextsTest, TagsContainingNoTTTInAnyCaseExcludeToolTipsOnly) {
  Add("Hint", "LABEL", "notttx", std::nullopt, 0, "Hint");
  Add("Option", "CheckBox", "", std::nullopt, 0, "Option");
  LoadToolTipTexts();
  EXPECT_EQ(Entry("1031", "Caption_Hint_notttx"), QStringLiteral("Hint"));
  EXPECT_FALSE(Has("TTT_Hint_notttx"));
  EXPECT_EQ(Entry("1031", "Caption_Option_"), QStringLiteral("Option"));
  EXPECT_EQ(Entry("1031", "TTT_Option_"), QStringLiteral("0"));
}

TEST_F(ToolTipTextsTest, AFailureStopsTheWorkOnOneControlOnly) {
  WriteIni("[Language]\nLanguage=1031\n[1031]\nTTT_Box_=A box\n");
  // A help id beyond 100 keeps the caption but skips the tool-tip.
  Add("Big", "LABEL", "", std::nullopt, 101, "Big");
  // A control that takes no tool-tip.
  TextControl box{"Box", "TEXTBOX", "", std::nullopt, 0, {}, false};
  controls.push_back(box);
  // An array member without an index.
  Add("Twin", "LABEL", "", std::nullopt, 0, "Twin");
  Add("Twin", "LABEL", "", 2, 0, "Twin 2");
  Add("After", "LABEL", "", std::nullopt, 0, "After");
  LoadToolTipTexts();
  EXPECT_EQ(Entry("1031", "Caption_Big_"), QStringLiteral("Big"));
  EXPECT_FALSE(Has("Help101"));
  EXPECT_FALSE(Has("TTT_Big_"));
  EXPECT_FALSE(Has("Caption_Twin_"));
  EXPECT_EQ(Entry("1031", "Caption_Twin2_"), QStringLiteral("Twin 2"));
  EXPECT_EQ(Entry("1031", "TTT_After_"), QStringLiteral("0"));
  EXPECT_TRUE(port.questions.empty());
}
