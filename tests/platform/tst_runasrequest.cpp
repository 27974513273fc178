#include "platform/runasadmin.h"

#include <QTest>

// The request that asks Windows to start the program with administrator rights.
class TestRunAsRequest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fillsTheRequest_data()
    {
        QTest::addColumn<QString>("parameters");
        QTest::addColumn<bool>("passed");
        QTest::newRow("no parameters: none passed") << QString() << false;
        QTest::newRow("parameters passed as given") << QStringLiteral("/x \"a b\"") << true;
    }
    void fillsTheRequest()
    {
        QFETCH(QString, parameters);
        QFETCH(bool, passed);
        const std::wstring file = L"C:\\Program Files\\Musterhafen\\scenery-configurator.exe";
        const std::wstring arguments = parameters.toStdWString();
        SHELLEXECUTEINFOW info;
        std::memset(&info, 0xAB, sizeof(info)); // every field not named must end up zero
        int owner = 0;
        FillRunAsRequest(info, &owner, file.c_str(), arguments.c_str());

        QCOMPARE(info.cbSize, DWORD(sizeof(SHELLEXECUTEINFOW)));
        QCOMPARE(info.fMask, ULONG(0x500)); // SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI
        QCOMPARE(static_cast<void *>(info.hwnd), static_cast<void *>(&owner));
        QCOMPARE(QString::fromWCharArray(info.lpVerb), QStringLiteral("runas"));
        QCOMPARE(info.lpFile, file.c_str());
        QCOMPARE(info.lpParameters, passed ? arguments.c_str() : nullptr);
        QCOMPARE(info.lpDirectory, nullptr);
        QCOMPARE(info.nShow, SW_SHOWNORMAL);
        QCOMPARE(info.hInstApp, nullptr);
        QCOMPARE(info.lpIDList, nullptr);
        QCOMPARE(info.lpClass, nullptr);
        QCOMPARE(info.hProcess, nullptr);
    }
};

QTEST_GUILESS_MAIN(TestRunAsRequest)
#include "tst_runasrequest.moc"
