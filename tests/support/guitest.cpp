#include "support/guitest.h"

#include "builder/corpuswriter.h"
#include "controls/messagebox.h"
#include "frame/bookview.h"
#include "frame/mainfrm.h"
#include "text/varianttable.h"

#include <QDialog>
#include <QMessageBox>
#include <QTest>

#include <filesystem>
#include <stdexcept>

namespace {

SourceVolume Volume(const std::string& strBook, const std::string& strName, int nFirst, int nPages) {
    SourceVolume volume;
    volume.name = strName;
    for (int n = nFirst; n < nFirst + nPages; ++n)
        volume.pages.push_back({n, strBook + " " + strName + " 第" + std::to_string(n) + "頁 子曰學而時習之", ""});
    return volume;
}

}  // namespace

CGuiCorpus::CGuiCorpus() {
    CorpusSource source;
    source.categories = {
        {"經部",
         {{"論語", {Volume("論語", "學而第一", 1, 2), Volume("論語", "為政第二", 1, 1)}},
          {"孟子", {Volume("孟子", "梁惠王上", 1, 3)}}}},
        {"集部", {{"唐詩選", {Volume("唐詩選", "卷一", 5, 2)}}}},
    };
    CCorpusWriter writer;
    CVariantTable variants;
    std::string strError;
    if (!writer.Write(source, variants, m_dir.Path(), strError)) throw std::runtime_error(strError);
}

CGuiSearchCorpus::CGuiSearchCorpus(int nKan1Pages) {
    SourceVolume gakuji{"學而第一",
                        {{1, "子曰學而時習之{學者覺也}不亦說乎學", ""},
                         {2, "有朋自遠方來不亦樂乎", ""},
                         {3, "人不知而不慍不亦君子乎", ""}}};
    SourceVolume isei{"為政第二", {{1, "為政以德", ""}, {2, "譬如北辰", ""}}};
    SourceVolume kan1{"卷一", {}};
    for (int n = Kan1FirstPage; n < Kan1FirstPage + nKan1Pages; ++n)
        kan1.pages.push_back({n, "床前明月光{明月}疑是地上霜", ""});
    CorpusSource source;
    source.categories = {
        {"經部", {{"論語", {gakuji, isei}}}},
        {"集部", {{"唐詩", {kan1}}}},
    };
    CCorpusWriter writer;
    CVariantTable variants;
    variants.Parse("5B66,5B78\n");  // 学 學
    std::string strError;
    if (!writer.Write(source, variants, m_dir.Path(), strError)) throw std::runtime_error(strError);
}

void CGuiCorpus::Remove(const std::string& strName) const { std::filesystem::remove(m_dir.File(strName)); }

CModalRecorder::CModalRecorder() {
    CMessageBox::SetHook([this](QDialog& dialog) {
        Entry entry{QString::fromLatin1(dialog.metaObject()->className()), dialog.windowTitle(), QString()};
        if (auto* pBox = qobject_cast<QMessageBox*>(&dialog)) entry.strText = pBox->text();
        m_entries.push_back(entry);
        return static_cast<int>(QDialog::Rejected);
    });
}

CModalRecorder::~CModalRecorder() { CMessageBox::SetHook(nullptr); }

QStringList CModalRecorder::Messages() const {
    QStringList messages;
    for (const Entry& entry : m_entries)
        if (entry.strClass == QLatin1String("QMessageBox")) messages << entry.strText;
    return messages;
}

std::unique_ptr<CMainFrame> ShowFrame(const QString& strFolder) {
    auto pFrame = std::make_unique<CMainFrame>(strFolder);
    pFrame->resize(1024, 700);
    pFrame->show();
    pFrame->activateWindow();
    if (!QTest::qWaitForWindowActive(pFrame.get())) throw std::runtime_error("the main window did not become active");
    return pFrame;
}

bool WaitForLocation(CBookView& view, const QString& strEnd) {
    return QTest::qWaitFor([&] { return view.GetLocationURL().endsWith(strEnd) && !view.page()->isLoading(); },
                           15000);
}

QString PageText(CBookView& view) {
    QString strText;
    bool bDone = false;
    view.page()->toPlainText([&](const QString& strResult) {
        strText = strResult;
        bDone = true;
    });
    if (!QTest::qWaitFor([&] { return bDone; }, 10000)) return QString();
    return strText;
}
