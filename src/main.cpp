#include "KS_General.h"
#include "KS_MainForm.h"

int main(int argc, char** argv)
{
    return Main(argc, argv, [] { return new KS_MainForm; });
}
