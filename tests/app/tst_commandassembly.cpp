// The rules by which the main window accepts the subsystems' command tables.
#include "TestSupport.h"

#include "CommandAssembly.h"

using namespace vela;

Q_DECLARE_METATYPE(vela::CommandTable)
Q_DECLARE_METATYPE(std::vector<vela::CommandTable>)

namespace {
std::vector<MenuNode> smallLayout() {
    return {{"Top", "T(&T)", {{"A", {}, {}}, {"-", {}, {}}, {"Sub", "S(&S)", {{"B", {}, {}}}}}}};
}
MenuEntry entry(const char* name, const char* parent) { return {name, parent, "caption", [] {}}; }
} // namespace

class CommandAssemblyTest : public QObject {
    Q_OBJECT

private slots:
    void testBrokenTablesAreRefused_data() {
        QTest::addColumn<std::vector<CommandTable>>("built");
        const auto one = [](std::vector<MenuEntry> menu) { return CommandTable{std::move(menu), {}, {}}; };
        QTest::newRow("leaf without entry") << std::vector{one({entry("A", "Top")})};
        QTest::newRow("entry not in the layout")
            << std::vector{one({entry("A", "Top"), entry("B", "Sub"), entry("C", "Top")})};
        QTest::newRow("wrong parent") << std::vector{one({entry("A", "Sub"), entry("B", "Sub")})};
        QTest::newRow("declared twice by two subsystems")
            << std::vector{one({entry("A", "Top"), entry("B", "Sub")}), one({entry("A", "Top")})};
        QTest::newRow("entry without handler")
            << std::vector{one({entry("A", "Top"), {"B", "Sub", "caption", {}}})};
        CommandTable badButton = one({entry("A", "Top"), entry("B", "Sub")});
        badButton.buttons.push_back({"SpeedButton1", ToolbarPage::Basic, 11, 27, "t", "s", ":/i", "Nope"});
        QTest::newRow("button of an unknown entry") << std::vector{badButton};
        CommandTable badOpening = one({entry("A", "Top"), entry("B", "Sub")});
        badOpening.openings.push_back({"Sub", [] {}});
        QTest::newRow("opening of a submenu") << std::vector{badOpening};
    }
    void testBrokenTablesAreRefused() {
        QFETCH(std::vector<CommandTable>, built);
        QVERIFY_THROWS_EXCEPTION(std::logic_error, assembleCommands(smallLayout(), built));
    }

    void testButtonsShareTheirEntry() {
        CommandTable built{{entry("A", "Top"), entry("B", "Sub")}, {}, {}};
        built.buttons.push_back({"SpeedButton2", ToolbarPage::Tags, 38, 27, "t", "s", ":/i", "B"});
        const AssembledCommands result = assembleCommands(smallLayout(), {built});
        QCOMPARE(result.entries.size(), std::size_t(2));
        QCOMPARE(result.buttons.size(), std::size_t(1));
        QCOMPARE(result.buttons.front().menuEntry, std::string("B"));
    }
};

QTEST_MAIN(CommandAssemblyTest)
#include "tst_commandassembly.moc"
