#include "Unit1.h"
#include "application.h"

int main(int argc, char *argv[])
{
    VarnholtApplication app(argc, argv);
    TMainForm form;
    form.show();
    form.activateWindow();
    return VarnholtApplication::exec();
}
