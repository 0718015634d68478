#include "builder/joyokyujitai.h"

// Transcribed from the 常用漢字表 (平成22年11月30日内閣告示第2号, published
// by the Agency for Cultural Affairs): each 新字体 of the table that it
// follows with a 旧字体 in brackets, and that 旧字体. A cabinet notice is
// not protected by copyright (著作権法第13条). Left out are the 旧字体
// that Unicode encodes only as CJK compatibility ideographs (海 for 海,
// 社 for 社, …): those are canonically the same character as the 新字体.
// Checked against Unicode's and OpenCC's variant data, which between them
// join all but 9 of these pairs (艶艷 既旣 挙擧 鶏鷄 渋澁 慎愼 闘鬭 瓶甁 麺麵).
const char* const CJoyoKyujitai::Name = "常用漢字表の旧字体 (built in)";

const char* CJoyoKyujitai::Text() {
    return
    "亜\t亞\n悪\t惡\n圧\t壓\n囲\t圍\n為\t爲\n医\t醫\n壱\t壹\n隠\t隱\n"
    "栄\t榮\n営\t營\n衛\t衞\n駅\t驛\n円\t圓\n塩\t鹽\n縁\t緣\n艶\t艷\n"
    "応\t應\n欧\t歐\n殴\t毆\n桜\t櫻\n奥\t奧\n横\t橫\n温\t溫\n穏\t穩\n"
    "仮\t假\n価\t價\n画\t畫\n会\t會\n絵\t繪\n壊\t壞\n懐\t懷\n拡\t擴\n"
    "殻\t殼\n覚\t覺\n学\t學\n岳\t嶽\n楽\t樂\n渇\t渴\n缶\t罐\n巻\t卷\n"
    "陥\t陷\n勧\t勸\n寛\t寬\n関\t關\n歓\t歡\n観\t觀\n概\t槪\n気\t氣\n"
    "既\t旣\n帰\t歸\n亀\t龜\n偽\t僞\n戯\t戲\n犠\t犧\n旧\t舊\n拠\t據\n"
    "挙\t擧\n虚\t虛\n峡\t峽\n挟\t挾\n狭\t狹\n郷\t鄕\n暁\t曉\n区\t區\n"
    "駆\t驅\n勲\t勳\n薫\t薰\n径\t徑\n茎\t莖\n恵\t惠\n掲\t揭\n渓\t溪\n"
    "経\t經\n蛍\t螢\n軽\t輕\n継\t繼\n鶏\t鷄\n芸\t藝\n撃\t擊\n欠\t缺\n"
    "研\t硏\n県\t縣\n倹\t儉\n剣\t劍\n険\t險\n圏\t圈\n検\t檢\n献\t獻\n"
    "権\t權\n顕\t顯\n験\t驗\n厳\t嚴\n呉\t吳\n娯\t娛\n広\t廣\n効\t效\n"
    "恒\t恆\n黄\t黃\n鉱\t鑛\n号\t號\n国\t國\n黒\t黑\n砕\t碎\n済\t濟\n"
    "斎\t齋\n剤\t劑\n雑\t雜\n参\t參\n桟\t棧\n蚕\t蠶\n惨\t慘\n賛\t贊\n"
    "残\t殘\n糸\t絲\n歯\t齒\n児\t兒\n辞\t辭\n湿\t濕\n実\t實\n舎\t舍\n"
    "写\t寫\n釈\t釋\n寿\t壽\n収\t收\n従\t從\n渋\t澁\n獣\t獸\n縦\t縱\n"
    "粛\t肅\n処\t處\n緒\t緖\n叙\t敍\n将\t將\n称\t稱\n渉\t涉\n焼\t燒\n"
    "証\t證\n奨\t奬\n条\t條\n状\t狀\n乗\t乘\n浄\t淨\n剰\t剩\n畳\t疊\n"
    "縄\t繩\n壌\t壤\n嬢\t孃\n譲\t讓\n醸\t釀\n触\t觸\n嘱\t囑\n真\t眞\n"
    "寝\t寢\n慎\t愼\n尽\t盡\n図\t圖\n粋\t粹\n酔\t醉\n穂\t穗\n随\t隨\n"
    "髄\t髓\n枢\t樞\n数\t數\n瀬\t瀨\n声\t聲\n斉\t齊\n静\t靜\n窃\t竊\n"
    "摂\t攝\n専\t專\n浅\t淺\n戦\t戰\n践\t踐\n銭\t錢\n潜\t潛\n繊\t纖\n"
    "禅\t禪\n双\t雙\n壮\t壯\n争\t爭\n荘\t莊\n捜\t搜\n挿\t插\n巣\t巢\n"
    "曽\t曾\n痩\t瘦\n装\t裝\n総\t總\n騒\t騷\n増\t增\n蔵\t藏\n臓\t臟\n"
    "即\t卽\n属\t屬\n続\t續\n堕\t墮\n対\t對\n体\t體\n帯\t帶\n滞\t滯\n"
    "台\t臺\n滝\t瀧\n択\t擇\n沢\t澤\n担\t擔\n単\t單\n胆\t膽\n団\t團\n"
    "断\t斷\n弾\t彈\n遅\t遲\n痴\t癡\n虫\t蟲\n昼\t晝\n鋳\t鑄\n庁\t廳\n"
    "徴\t徵\n聴\t聽\n勅\t敕\n鎮\t鎭\n逓\t遞\n鉄\t鐵\n点\t點\n転\t轉\n"
    "伝\t傳\n灯\t燈\n当\t當\n党\t黨\n盗\t盜\n稲\t稻\n闘\t鬭\n徳\t德\n"
    "独\t獨\n読\t讀\n届\t屆\n弐\t貳\n悩\t惱\n脳\t腦\n覇\t霸\n廃\t廢\n"
    "拝\t拜\n売\t賣\n麦\t麥\n発\t發\n髪\t髮\n抜\t拔\n晩\t晚\n蛮\t蠻\n"
    "秘\t祕\n浜\t濱\n瓶\t甁\n払\t拂\n仏\t佛\n併\t倂\n並\t竝\n餅\t餠\n"
    "辺\t邊\n変\t變\n弁\t辨 瓣 辯\n歩\t步\n宝\t寶\n豊\t豐\n褒\t襃\n翻\t飜\n"
    "毎\t每\n万\t萬\n満\t滿\n黙\t默\n麺\t麵\n弥\t彌\n訳\t譯\n薬\t藥\n"
    "与\t與\n予\t豫\n余\t餘\n誉\t譽\n揺\t搖\n様\t樣\n謡\t謠\n来\t來\n"
    "頼\t賴\n乱\t亂\n覧\t覽\n竜\t龍\n両\t兩\n猟\t獵\n緑\t綠\n涙\t淚\n"
    "塁\t壘\n礼\t禮\n励\t勵\n戻\t戾\n霊\t靈\n齢\t齡\n暦\t曆\n歴\t歷\n"
    "恋\t戀\n錬\t鍊\n炉\t爐\n労\t勞\n郎\t郞\n楼\t樓\n録\t錄\n湾\t灣\n";
}
