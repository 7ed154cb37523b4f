#include <QApplication>
#include <QIcon>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/main/AMRConvert.ico")));
    QLabel placeholder(QStringLiteral("Free Tarvik AMR Format Converter"));
    placeholder.setMinimumSize(653, 110);
    placeholder.setAlignment(Qt::AlignCenter);
    placeholder.show();
    return application.exec();
}
