#include "Unit1.h"
#include "application.h"

int main(int argc, char *argv[])
{
    VarnholtApplication app(argc, argv);
    TMainForm form;
    startMainWindow(form, QCoreApplication::arguments());
    return VarnholtApplication::exec();
}
