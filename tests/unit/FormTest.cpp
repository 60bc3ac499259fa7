// The toolkit's application object, forms, modal showing and controls, in real windows.
#include <gtest/gtest.h>

#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "toolkit/Application.h"
#include "toolkit/Controls.h"
#include "toolkit/Error.h"
#include "toolkit/Form.h"
#include "toolkit/Layout.h"
#include "toolkit/Person.h"

namespace {

constexpr UINT kRunAction = WM_APP + 1;

// Writes down every message box instead of showing it, and answers with `answer`.
struct RecordingPerson : ScriptedPerson {
    struct Box {
        HWND owner;
        std::string text, title;
        UINT style;
    };
    std::vector<Box> boxes;
    int answer = IDOK;
    RecordingPerson() { SetScriptedPerson(this); }
    ~RecordingPerson() override { SetScriptedPerson(nullptr); }
    int AnswerMessageBox(HWND owner, const std::string& text, const std::string& title, UINT style) override
    {
        boxes.push_back({owner, text, title, style});
        return answer;
    }
    std::optional<std::string> AnswerFolderBrowser(HWND, const std::string&, const std::string&) override
    {
        return std::nullopt;
    }
};

std::vector<std::string>* g_events = nullptr;
void Note(const std::string& event)
{
    if (g_events) g_events->push_back(event);
}

class TTestForm;
TTestForm* TestForm = nullptr;
TTestForm* SecondForm = nullptr;

class TTestForm : public toolkit::Form {
public:
    TTestForm();
    toolkit::Button BtOk;
    toolkit::Button BtFail;
    toolkit::Edit EdName;
    toolkit::CheckBox CbOption;
    toolkit::ProgressBar PbTotal;
    toolkit::Label LbInfo;

    bool referenceSetDuringConstruction = false;
    int resultInShow = toolkit::kModalNone;
    bool failInShow = false;
    int changes = 0;
    std::vector<std::function<void()>> actions;

    void FormCreate() override { Note("create"); }
    void FormShow() override
    {
        Note("show");
        if (resultInShow != toolkit::kModalNone) SetModalResult(resultInShow);
        if (failInShow) throw toolkit::Error("表示できません");
    }
    void FormDestroy() override { Note("destroy"); }
    void BtOkClick() { SetModalResult(toolkit::kModalOk); }
    void BtFailClick() { throw toolkit::Error("'Dir' のデータ型が不正です"); }
    void EdNameChange() { ++changes; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == kRunAction) {
            auto action = std::move(actions.at(static_cast<size_t>(wParam)));
            action();
            return 0;
        }
        return Form::HandleMessage(message, wParam, lParam);
    }
};

using toolkit::BindView;
using toolkit::Call;
using toolkit::Kind;
using toolkit::kNoParent;
using toolkit::kNoTabOrder;
inline constexpr toolkit::ControlLayout kTestControls[] = {
    {Kind::Label, "LbInfo", "情報", 8, 8, 100, 12, kNoTabOrder, 0, kNoParent, BindView<&TTestForm::LbInfo>, nullptr},
    {Kind::Button, "BtFail", "失敗", 8, 60, 100, 25, 1, 0, kNoParent, BindView<&TTestForm::BtFail>,
     Call<&TTestForm::BtFailClick>},
    {Kind::Button, "BtOk", "ＯＫ", 8, 30, 100, 25, 0, toolkit::flag::kDefault, kNoParent, BindView<&TTestForm::BtOk>,
     Call<&TTestForm::BtOkClick>},
    {Kind::Edit, "EdName", "", 8, 90, 100, 20, 2, 0, kNoParent, BindView<&TTestForm::EdName>,
     Call<&TTestForm::EdNameChange>},
    {Kind::CheckBox, "CbOption", "選択", 8, 120, 100, 17, 3, toolkit::flag::kChecked, kNoParent,
     BindView<&TTestForm::CbOption>, nullptr},
    {Kind::ProgressBar, "PbTotal", "", 8, 140, 200, 17, kNoTabOrder, 0, kNoParent, BindView<&TTestForm::PbTotal>,
     nullptr},
};
inline constexpr toolkit::FormLayout kTestLayout = {
    "TTestForm", "テスト", 0, 0, 272, 216, toolkit::Border::Dialog, false, kTestControls, std::size(kTestControls)};

TTestForm::TTestForm()
{
    referenceSetDuringConstruction = TestForm == this || SecondForm == this;
    Build(kTestLayout);
}

// Posts an action that runs inside whichever message loop is turning at the time.
void Later(TTestForm* form, std::function<void()> action)
{
    form->actions.push_back(std::move(action));
    ::PostMessageW(form->Handle(), kRunAction, form->actions.size() - 1, 0);
}

class FormTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_events = &events;
        app.Initialize();
        app.CreateForm(TestForm);
        app.CreateForm(SecondForm);
    }
    void TearDown() override
    {
        g_events = nullptr;
        TestForm = SecondForm = nullptr;
    }
    std::vector<std::string> events;
    RecordingPerson person;
    toolkit::Application app{::GetModuleHandleW(nullptr)};
};

TEST_F(FormTest, CreationSetsTheReferenceFirstAndRunsTheCreationHandler)
{
    EXPECT_TRUE(TestForm->referenceSetDuringConstruction);
    EXPECT_TRUE(SecondForm->referenceSetDuringConstruction);
    EXPECT_EQ(app.MainForm(), TestForm);
    EXPECT_EQ(events, (std::vector<std::string>{"create", "create"}));
    // The second form is owned by the first, the main one.
    EXPECT_EQ(::GetWindow(SecondForm->Handle(), GW_OWNER), TestForm->Handle());
}

TEST_F(FormTest, ClosingTheMainFormEndsTheLoop)
{
    TestForm->Show();
    ::PostMessageW(TestForm->Handle(), WM_CLOSE, 0, 0);
    app.Run();
    EXPECT_TRUE(app.Terminated());
}

TEST_F(FormTest, ModalResultFromAHandlerEndsShowModal)
{
    TestForm->Show();
    bool ownerDisabled = false;
    Later(SecondForm, [&] {
        ownerDisabled = !::IsWindowEnabled(TestForm->Handle());
        ::SendMessageW(SecondForm->Handle(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(SecondForm->BtOk.Handle()), BN_CLICKED),
                       reinterpret_cast<LPARAM>(SecondForm->BtOk.Handle()));
    });
    EXPECT_EQ(SecondForm->ShowModal(), toolkit::kModalOk);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(::IsWindowEnabled(TestForm->Handle()));
    EXPECT_FALSE(::IsWindowVisible(SecondForm->Handle()));
    EXPECT_EQ(events.back(), "show");
}

TEST_F(FormTest, TitleBarCloseOfAModalFormGivesCancel)
{
    TestForm->Show();
    Later(SecondForm, [] { ::PostMessageW(SecondForm->Handle(), WM_CLOSE, 0, 0); });
    EXPECT_EQ(SecondForm->ShowModal(), toolkit::kModalCancel);
    EXPECT_FALSE(app.Terminated());
}

TEST_F(FormTest, AResultSetInTheShowHandlerClosesAtOnce)
{
    TestForm->Show();
    SecondForm->resultInShow = toolkit::kModalCancel;
    bool everVisible = false;
    Later(TestForm, [&] { everVisible = ::IsWindowVisible(SecondForm->Handle()) != FALSE; });
    EXPECT_EQ(SecondForm->ShowModal(), toolkit::kModalCancel);
    EXPECT_FALSE(everVisible);
    EXPECT_TRUE(::IsWindowEnabled(TestForm->Handle()));
}

TEST_F(FormTest, ClosingTheMainFormDuringAModalOneEndsAfterItReturns)
{
    TestForm->Show();
    Later(SecondForm, [] { TestForm->Close(); });
    EXPECT_EQ(SecondForm->ShowModal(), toolkit::kModalCancel);
    EXPECT_TRUE(app.Terminated());
    app.Run();  // returns at once
}

TEST_F(FormTest, AnErrorLeavingAHandlerIsShownAndTheLoopGoesOn)
{
    TestForm->Show();
    ::PostMessageW(TestForm->Handle(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(TestForm->BtFail.Handle()), BN_CLICKED),
                   reinterpret_cast<LPARAM>(TestForm->BtFail.Handle()));
    Later(TestForm, [] { TestForm->Close(); });
    app.SetTitle("インストーラ");
    app.Run();
    ASSERT_EQ(person.boxes.size(), 1u);
    EXPECT_EQ(person.boxes[0].text, "'Dir' のデータ型が不正です.");
    EXPECT_EQ(person.boxes[0].title, "インストーラ");
    EXPECT_EQ(person.boxes[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
}

TEST_F(FormTest, AnErrorInTheShowHandlerIsShownAndTheFormStillAppears)
{
    SecondForm->failInShow = true;
    SecondForm->Show();
    EXPECT_TRUE(::IsWindowVisible(SecondForm->Handle()));
    ASSERT_EQ(person.boxes.size(), 1u);
    EXPECT_EQ(person.boxes[0].text, "表示できません.");
}

TEST(ErrorText, AFullStopFollowsAnyLastByteThatSortsAfterIt)
{
    struct Case {
        std::string message, shown;
    } cases[] = {
        {"abc", "abc."},        {"abc.", "abc."},  {"abc!", "abc!"},  {"abc/", "abc/."},
        {"", ""},               {"範囲 (3)", "範囲 (3)"},             {"エラー", "エラー."},
    };
    for (const Case& c : cases) EXPECT_EQ(toolkit::Application::ErrorText(c.message), c.shown) << c.message;
}

TEST_F(FormTest, ProcessMessagesRunsWhatIsWaitingOnce)
{
    int ran = 0;
    Later(TestForm, [&] { ++ran; });
    Later(TestForm, [&] { ++ran; });
    app.ProcessMessages();
    EXPECT_EQ(ran, 2);
    app.ProcessMessages();
    EXPECT_EQ(ran, 2);
}

TEST_F(FormTest, ControlsKeepTheirStates)
{
    TTestForm& form = *TestForm;
    EXPECT_EQ(form.BtOk.Caption(), "ＯＫ");
    form.LbInfo.SetCaption("空き容量：10240 ＭＢ");
    EXPECT_EQ(form.LbInfo.Caption(), "空き容量：10240 ＭＢ");

    // Visibility is the control's own, whether or not the form is shown.
    EXPECT_TRUE(form.BtOk.Visible());
    form.BtOk.SetVisible(false);
    EXPECT_FALSE(form.BtOk.Visible());
    form.BtOk.SetVisible(true);
    form.BtFail.SetEnabled(false);
    EXPECT_FALSE(form.BtFail.Enabled());

    EXPECT_TRUE(form.CbOption.Checked());
    form.CbOption.SetChecked(false);
    EXPECT_FALSE(form.CbOption.Checked());

    form.EdName.SetText("C:\\ソフト\\ゲーム");
    EXPECT_EQ(form.EdName.Text(), "C:\\ソフト\\ゲーム");
    EXPECT_GE(form.changes, 1);

    // 32-bit ranges, as a file's size in bytes needs.
    form.PbTotal.SetRange(0, 3000000);
    form.PbTotal.SetPosition(2929);
    EXPECT_EQ(form.PbTotal.Minimum(), 0);
    EXPECT_EQ(form.PbTotal.Maximum(), 3000000);
    EXPECT_EQ(form.PbTotal.Position(), 2929);
}

TEST_F(FormTest, FocusGoesToTheFirstTabStopOrWhereTheShowHandlerPutIt)
{
    TestForm->Show();
    EXPECT_TRUE(TestForm->BtOk.Focused());
    TestForm->Hide();
    TestForm->EdName.SetFocus();  // not shown: kept for the next showing
    TestForm->Show();
    EXPECT_TRUE(TestForm->EdName.Focused());
    // A control that loses its visibility passes the focus on.
    TestForm->EdName.SetVisible(false);
    EXPECT_TRUE(TestForm->BtOk.Focused());
}

TEST_F(FormTest, DestroyHandlersRunWhenTheApplicationEnds)
{
    {
        toolkit::Application inner{::GetModuleHandleW(nullptr)};
        inner.Initialize();
        TTestForm* form = nullptr;
        inner.CreateForm(form);
        events.clear();
    }
    EXPECT_EQ(events, (std::vector<std::string>{"destroy"}));
}

}  // namespace

namespace {

class TBrokenForm;
TBrokenForm* BrokenForm = nullptr;

class TBrokenForm : public toolkit::Form {
public:
    TBrokenForm() { throw toolkit::Error("作成できません"); }
};

TEST(FormCreation, AnErrorDuringConstructionLeavesTheReferenceEmptyAndReachesTheCaller)
{
    toolkit::Application app(::GetModuleHandleW(nullptr));
    app.Initialize();
    EXPECT_THROW(app.CreateForm(BrokenForm), toolkit::Error);
    EXPECT_EQ(BrokenForm, nullptr);
    EXPECT_EQ(app.MainForm(), nullptr);
}

}  // namespace
