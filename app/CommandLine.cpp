#include "CommandLine.h"

namespace vela {
namespace {

const char* const Usage =
    "使い方: vela [ファイル...]\n"
    "HTML ページを手書きで作るエディタです。ファイルを渡すと、起動後にそれを開きます。\n"
    "RTF で始まるソースファイル (.kvd) は「開く」と同じく、ほかのページ (.htm、.html、.txt) は\n"
    "「HTMLファイルの読み込み」と同じく開きます。1 つのウィンドウで開ける文書は 1 つで、\n"
    "2 つ目からは開きません。\n"
    "\n"
    "  --help      この説明を表示して終了します\n"
    "  --version   バージョンを表示して終了します\n"
    "\n"
    "設定は現在のフォルダの MARVOK.INI に保存されます。詳しくは man vela をご覧ください。\n";

} // namespace

CommandLine CommandLine::parse(const std::vector<std::string>& arguments) {
    CommandLine line;
    bool options = true;
    for (const std::string& argument : arguments) {
        if (options && argument == "--") {
            options = false;
        } else if (options && argument == "--help") {
            line.answer = Usage;
            return line;
        } else if (options && argument == "--version") {
            line.answer = std::string("vela ") + VELA_VERSION + "\n";
            return line;
        } else if (options && argument.size() > 1 && argument.front() == '-') {
            line.error = "vela: 不明なオプション「" + argument + "」です（使い方は vela --help）";
            return line;
        } else {
            line.files.push_back(argument);
        }
    }
    return line;
}

} // namespace vela
