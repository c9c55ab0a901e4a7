// The import windows driven as a user drives them: the preview, the bank
// statement's mapping and the list of imports with 撤销这次导入.
#include "bill_files.h"
#include "import/bank_mapping_dialog.h"
#include "import/bill_file.h"
#include "import/import_list_dialog.h"
#include "import/import_preview.h"
#include "import/import_run.h"
#include "import/import_window.h"
#include "import/plan_model.h"
#include "ledger/consistency.h"
#include "setup/category_picker.h"
#include "support/box_answerer.h"
#include "support/modal_closer.h"
#include "support/temp_database.h"

#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>

using namespace testing_support;

namespace {

const db::DateTime kNow{2024, 4, 1, 9, 0, 0};

import::Plan planOf(TempDatabase &t, const std::string &bytes)
{
    const std::string path = writeFile(t.folder() / "bill.csv", bytes).string();
    return import::makePlan(t.connection(), import::readBillFile(t.connection(), path).bill);
}

int rowOfLine(ImportPlanModel *model, int line)
{
    for (int r = 0; r < model->rowCount(); ++r)
        if (model->row(r).bill.line == line)
            return r;
    return -1;
}

// Opens the editor of a cell and picks a name in its category picker, as a
// click in the drop-down tree does.
void pickInCell(CImportPreview &preview, int row, int column, const QString &name)
{
    const QModelIndex index = preview.model()->index(row, column);
    preview.table()->setCurrentIndex(index);
    preview.table()->edit(index);
    QPointer<CCategoryPicker> picker = preview.table()->viewport()->findChild<CCategoryPicker *>();
    QVERIFY(picker);
    // Its drop-down opens and takes the focus; the editor stays open.
    QTest::qWait(50);
    QVERIFY2(picker, "the cell's editor closed as its drop-down opened");
    QVERIFY(picker->isDropDownShown());
    QVERIFY(picker->selectByText(name));
    QCoreApplication::processEvents();
}

// Saves a picture of a window when PENNARO_SCREENSHOTS names a folder.
void screenshot(QWidget &window, const char *name)
{
    const QByteArray folder = qgetenv("PENNARO_SCREENSHOTS");
    if (!folder.isEmpty())
        window.grab().save(QString::fromUtf8(folder) + QLatin1Char('/') + QLatin1String(name));
}

const char *const kStatement = "# 招商银行交易记录\n# 账号: [6225********1234]\n\n"
                               "交易日期,交易时间,收入,支出,余额,交易类型,交易备注\n"
                               "20240105,10:30:00,,35.50,9964.50,消费,星巴克\n"
                               "20240110,09:00:00,8000.00,,17964.50,代发工资,某公司\n";

} // namespace

class TestImportWindows : public QObject {
    Q_OBJECT
private slots:
    void previewIsEditedAndConfirmed();
    void weChatWorkbookOpensInThePreview();
    void aLongBillShowsItsProgressAndStopsWhole();
    void bankStatementIsMappedOnceThenKnown();
    void anImportIsTakenBackFromTheList();
};

void TestImportWindows::previewIsEditedAndConfirmed()
{
    TempDatabase t;
    CImportPreview preview(planOf(t, kAlipayBill), t.connection(), QStringLiteral("支付宝.csv"), QStringLiteral("张丽"), kNow);
    preview.show();
    preview.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&preview));
    ImportPlanModel *model = preview.model();
    QVERIFY(!preview.confirmButton()->isEnabled());
    QVERIFY(preview.totalsLabel()->text().contains(QStringLiteral("缺帐户 5 笔")));

    // One account picked for 余额 serves every row paid with it.
    pickInCell(preview, rowOfLine(model, 9), ImportPlanModel::Account, QStringLiteral("现金银行"));
    QCOMPARE(model->row(rowOfLine(model, 16)).account, std::string("现金银行"));
    // An account made on the spot for 花呗, named in the box that asks.
    preview.table()->setCurrentIndex(model->index(rowOfLine(model, 12), 0));
    QTimer::singleShot(0, [] {
        auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        QVERIFY(box);
        box->setTextValue(QStringLiteral("花呗"));
        box->accept();
    });
    preview.createAccount();
    QCOMPARE(t.value("select count(*) from Bank where BankName='花呗'"), std::string("1"));
    QCOMPARE(model->row(rowOfLine(model, 13)).account, std::string("花呗"));
    model->setData(model->index(rowOfLine(model, 10), ImportPlanModel::Account), QStringLiteral("现金银行"));

    // The income row gets its category in the picker of the income tree; a
    // correction becomes a rule with one click.
    const int income = rowOfLine(model, 16);
    pickInCell(preview, income, ImportPlanModel::Category, QStringLiteral("其他收入"));
    QCOMPARE(model->row(income).decision, import::Decision::Post);
    QVERIFY(preview.ruleButton()->isEnabled());
    preview.ruleButton()->click();
    QCOMPARE(model->plan().newRules.size(), std::size_t(1));
    // Taking the ride out.
    model->setData(model->index(rowOfLine(model, 10), ImportPlanModel::Included), Qt::Unchecked, Qt::CheckStateRole);
    QCOMPARE(model->data(model->index(rowOfLine(model, 10), ImportPlanModel::Decision), Qt::DisplayRole).toString(),
             QStringLiteral("跳过"));

    QVERIFY(preview.confirmButton()->isEnabled());
    QCOMPARE(preview.totalsLabel()->text(),
             QStringLiteral("要记 4 笔：支出 67.9 元，收入 100 元。跳过 4 笔，重复 0 笔，缺类型 0 笔，缺帐户 0 笔。"));
    screenshot(preview, "import_preview.png");
    BoxAnswerer boxes;
    preview.confirmButton()->click();
    QCOMPARE(boxes.texts, QStringList{QStringLiteral("导入了 4 笔帐 (导入编号 1)。在“导入记录”里可以撤销这次导入。")});
    QCOMPARE(preview.result(), int(QDialog::Accepted));
    QCOMPARE(t.count("account"), 4);
    QCOMPARE(t.value("select 经手人 || '|' || 银行 from account where 帐目类型='其他收入'"), std::string("张丽|现金银行"));
    QCOMPARE(t.value("select count(*) from ImportRule where Field='对方' and Pattern='李四'"), std::string("1"));
    QVERIFY(ledger::checkBooks(t.connection(), kNow).empty());

    // The same bill again: every row it posted is a duplicate; the ride left
    // out the first time is all there is to post, to the account kept for its method.
    CImportPreview again(planOf(t, kAlipayBill), t.connection(), QStringLiteral("支付宝.csv"), QStringLiteral("张丽"), kNow);
    for (int line : {9, 12, 13, 16})
        QCOMPARE(again.model()->row(rowOfLine(again.model(), line)).decision, import::Decision::Duplicate);
    QVERIFY(again.totalsLabel()->text().startsWith(QStringLiteral("要记 1 笔：支出 35.5 元，收入 0 元。跳过 3 笔，重复 4 笔")));
}

void TestImportWindows::weChatWorkbookOpensInThePreview()
{
    TempDatabase t;
    const std::filesystem::path path = t.folder() / "微信支付账单.xlsx";
    writeWeChatXlsx(path);
    QStringList seen;
    QTimer::singleShot(0, [&] {
        auto *preview = qobject_cast<CImportPreview *>(QApplication::activeModalWidget());
        QVERIFY(preview);
        for (int r = 0; r < preview->model()->rowCount(); ++r)
            seen << preview->model()->data(preview->model()->index(r, ImportPlanModel::Decision), Qt::DisplayRole).toString();
        preview->reject();
    });
    QVERIFY(!import::importBillFile(nullptr, t.connection(), QString::fromStdString(path.string()),
                                    import::FormatChoice::Automatic, QStringLiteral("管理员"), kNow));
    QCOMPARE(seen, (QStringList{QStringLiteral("缺帐户"), QStringLiteral("缺帐户"), QStringLiteral("跳过"),
                                QStringLiteral("缺帐户"), QStringLiteral("缺帐户")}));
}

void TestImportWindows::aLongBillShowsItsProgressAndStopsWhole()
{
    TempDatabase t;
    std::string bill = std::string(kAlipayBill).substr(0, std::string(kAlipayBill).find("2024-03-02"));
    for (int i = 0; i < 400; ++i)
        bill += "2024-03-02 12:10:05 ,餐饮美食 ,老王面馆 ,/ ,牛肉面 ,支出 ,28.00 ,余额 ,交易成功 ," + std::to_string(900000 + i) + "\t, , ,\n";
    import::saveAccountMapping(t.connection(), "余额", "现金银行");
    CImportPreview preview(planOf(t, bill), t.connection(), QStringLiteral("长.csv"), QStringLiteral("管理员"), kNow);
    QVERIFY(preview.confirmButton()->isEnabled());
    bool sawProgress = false;
    QTimer stopper;
    QObject::connect(&stopper, &QTimer::timeout, [&] {
        if (auto *progress = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget())) {
            sawProgress = true;
            progress->cancel();
        }
    });
    stopper.start(0);
    BoxAnswerer boxes;
    preview.confirm();
    QVERIFY(sawProgress);
    QCOMPARE(boxes.texts, QStringList{QString::fromUtf8(import::kMsgImportStopped)});
    QCOMPARE(t.count("account"), 0);
    QCOMPARE(preview.result(), int(QDialog::Rejected));
}

void TestImportWindows::bankStatementIsMappedOnceThenKnown()
{
    TempDatabase t;
    const QString path = QString::fromStdString(writeFile(t.folder() / "招行.csv", toGbk(kStatement)).string());
    CBankMappingDialog dialog(path, t.connection());
    dialog.show();
    // The header row and the columns are guessed from the names.
    QCOMPARE(dialog.headerRowBox()->value(), 4);
    QCOMPARE(dialog.columnBox("date")->currentText(), QStringLiteral("交易日期"));
    QCOMPARE(dialog.columnBox("time")->currentText(), QStringLiteral("交易时间"));
    QVERIFY(dialog.twoColumnsButton()->isChecked());
    QCOMPARE(dialog.columnBox("debit")->currentText(), QStringLiteral("支出"));
    QCOMPARE(dialog.columnBox("description")->currentText(), QStringLiteral("交易备注"));
    dialog.columnBox("counterparty")->setCurrentText(QStringLiteral("交易备注"));
    dialog.columnBox("description")->setCurrentText(QStringLiteral("交易类型"));
    QCOMPARE(dialog.trialLabel()->text(), QStringLiteral("按这样设置能读出 2 笔。"));
    // Read as UTF-8, the GBK file does not read; back to automatic, it does.
    dialog.encodingBox()->setCurrentText(QStringLiteral("UTF-8"));
    QVERIFY(dialog.trialLabel()->text().contains(QStringLiteral("不是 UTF-8 编码的文字")));
    dialog.encodingBox()->setCurrentText(QStringLiteral("自动"));
    QCOMPARE(dialog.columnBox("counterparty")->currentText(), QStringLiteral("交易备注"));
    dialog.nameEdit()->setText(QStringLiteral("招行"));
    dialog.columnBox("date")->setCurrentText(QStringLiteral("余额"));
    QVERIFY(dialog.trialLabel()->text().contains(QStringLiteral("日期“9964.50”")));
    dialog.columnBox("date")->setCurrentText(QStringLiteral("交易日期"));
    screenshot(dialog, "bank_mapping.png");
    dialog.save();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const auto saved = import::loadMapping(t.connection(), "招行");
    QVERIFY(saved);
    QCOMPARE(saved->header, std::string("交易日期|交易时间|收入|支出|余额|交易类型|交易备注"));

    // The next file with the same header goes straight to the preview.
    ModalCloser closer;
    QVERIFY(!import::importBillFile(nullptr, t.connection(), path, import::FormatChoice::Automatic,
                                    QStringLiteral("管理员"), kNow));
    QCOMPARE(closer.texts, QStringList{QStringLiteral("导入账单 - 招行.csv")});
}

void TestImportWindows::anImportIsTakenBackFromTheList()
{
    TempDatabase t;
    import::PlanOptions options;
    options.defaultAccount = "现金银行";
    options.defaultIncomeCategory = "其他收入";
    const std::string path = writeFile(t.folder() / "a.csv", kAlipayBill).string();
    const import::Plan plan = import::makePlan(t.connection(), import::readBillFile(t.connection(), path).bill, options);
    import::CommitOptions commit;
    commit.fileName = "a.csv";
    commit.now = kNow;
    QVERIFY(import::commitPlan(t.connection(), plan, commit).result.done);

    CImportListDialog list(t.connection(), [] { return kNow; });
    QCOMPARE(list.table()->rowCount(), 1);
    QCOMPARE(list.table()->item(0, 2)->text(), QStringLiteral("a.csv"));
    QCOMPARE(list.table()->item(0, 5)->text(), QStringLiteral("5"));
    QVERIFY(list.undoButton()->isEnabled());
    {
        BoxAnswerer no({QStringLiteral("no")});
        list.undoButton()->click();
        QCOMPARE(no.texts.size(), 1);
    }
    QCOMPARE(t.count("account"), 5);
    BoxAnswerer yes({QStringLiteral("yes"), QStringLiteral("ok")});
    list.undoButton()->click();
    QCOMPARE(yes.texts, (QStringList{QStringLiteral("撤销编号为 1 的导入 (a.csv)？这次导入记的帐都将删除。"),
                                     QStringLiteral("已撤销编号为 1 的导入，删除了 5 笔帐。")}));
    QCOMPARE(t.count("account"), 0);
    QVERIFY(list.changedBooks());
    QCOMPARE(list.table()->item(0, 6)->text(), QStringLiteral("已撤销 2024/04/01 09:00"));
    QVERIFY(!list.undoButton()->isEnabled());
}

QTEST_MAIN(TestImportWindows)
#include "test_import_windows.moc"
