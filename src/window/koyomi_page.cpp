#include "window/koyomi_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QSignalBlocker>
#include <utility>

#include "logic/form1.h"

namespace rumora {

namespace {

// The marks of Frame5, one row each, in their order on the page.
struct Mark {
    QCheckBox* KoyomiPage::*box;
    const char* name;
    const char* caption;
    CheckBox PageSettings::*field;
};
const Mark kMarks[] = {
    {&KoyomiPage::chkHolidays, "chkHolidays", "祝日 (赤い字、名前はマウスを重ねると表示)",
     &PageSettings::chkHolidays},
    {&KoyomiPage::chkRokuyo, "chkRokuyo", "六曜 (日付の下に小さく、1873～2100 年)",
     &PageSettings::chkRokuyo},
    {&KoyomiPage::chkSekki, "chkSekki", "二十四節気 (日付の下に小さく、1873～2100 年)",
     &PageSettings::chkSekki},
    {&KoyomiPage::chkZassetsu, "chkZassetsu", "雑節 (節分・彼岸・土用など、1873～2100 年)",
     &PageSettings::chkZassetsu},
    {&KoyomiPage::chkMoon, "chkMoon", "月の満ち欠け (●・○ の印、1873～2100 年)",
     &PageSettings::chkMoon},
    {&KoyomiPage::chkWareki, "chkWareki", "和暦 (月の見出しに「令和9年」、1873 年から)",
     &PageSettings::chkWareki},
};

}  // namespace

KoyomiPage::KoyomiPage(Form1& form, const TwipsGeometry& twips, QWidget* parent)
    : QWidget(parent), form_(form), twips_(twips) {
    Frame5 = new QGroupBox(QStringLiteral("暦の表示"), this);
    Frame5->setObjectName(QStringLiteral("Frame5"));
    for (const Mark& mark : kMarks) this->*mark.box = MakeMark(mark.name, mark.caption, mark.field);

    Frame6 = new QGroupBox(QStringLiteral("週の始まり"), this);
    Frame6->setObjectName(QStringLiteral("Frame6"));
    optWeekStart[0] = new QRadioButton(QStringLiteral("日曜日"), Frame6);
    optWeekStart[1] = new QRadioButton(QStringLiteral("月曜日"), Frame6);
    optWeekStartGroup = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i) {
        optWeekStart[i]->setObjectName(QStringLiteral("optWeekStart(%1)").arg(i));
        optWeekStartGroup->addButton(optWeekStart[i], i);
    }
    optWeekStart[0]->setChecked(true);
    connect(optWeekStartGroup, &QButtonGroup::idToggled, this, [this](int, bool) {
        form_.s.optWeekStart[0].Value = optWeekStart[0]->isChecked();
        form_.s.optWeekStart[1].Value = optWeekStart[1]->isChecked();
        emit RecordChanged();
    });
}

QCheckBox* KoyomiPage::MakeMark(const char* name, const char* caption,
                                CheckBox PageSettings::*field) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), Frame5);
    box->setObjectName(QString::fromUtf8(name));
    connect(box, &QCheckBox::stateChanged, this, [this, field](int state) {
        (form_.s.*field).Value = static_cast<std::int16_t>(state == Qt::Checked ? 1 : 0);
        emit RecordChanged();
    });
    return box;
}

void KoyomiPage::Place(const QPoint& origin) {
    const auto at = [&](int left, int top, int width, int height) {
        return twips_.rect(left, top, width, height).translated(-origin);
    };
    Frame5->setGeometry(at(360, 600, 4815, 2235));
    int row = 0;
    for (const Mark& mark : kMarks) {
        PlaceGrown(this->*mark.box, twips_.rect(240, 330 + 300 * row++, 4335, 255));
    }
    Frame6->setGeometry(at(360, 2955, 4815, 855));
    PlaceGrown(optWeekStart[0], twips_.rect(240, 360, 1335, 255));
    PlaceGrown(optWeekStart[1], twips_.rect(1800, 360, 1335, 255));
}

void KoyomiPage::ShowRecord(const PageSettings& s) {
    for (const Mark& mark : kMarks) {
        const QSignalBlocker blocker(this->*mark.box);
        (this->*mark.box)->setChecked((s.*mark.field).Value != 0);
    }
    const QSignalBlocker blocker(optWeekStartGroup);
    const QSignalBlocker first(optWeekStart[0]);
    const QSignalBlocker second(optWeekStart[1]);
    optWeekStart[s.optWeekStart[1].Value ? 1 : 0]->setChecked(true);
}

}  // namespace rumora
