#include "qt/DiaryApp.h"

int main(int argc, char* argv[])
{
    pagelet::DiaryApp app(argc, argv);
    return app.InitInstance();
}
