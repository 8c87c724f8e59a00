// The program's default Setting, owned by an object, and the block of the settings file that
// it is written as, byte for byte.
#ifndef VANTOR_TEST_DEFAULT_SETTING_H
#define VANTOR_TEST_DEFAULT_SETTING_H

#include "core/Setting.h"

const char kDefaultBlock[] = "0  1  2  3  4  5  6  7  8  9  10  11  \n"
                             "1  1  1  1  1  1  1  1  1  1  1  1  \n"
                             "200  200  200  100  100  100  100  100  100  35  200  150  \n"
                             "2  22  \n"
                             "750  280  10  \n"
                             "12  750  280  \n"
                             "3  12  0  \n"
                             "9  1.000000  60000  \n"
                             "50  1  7  "
                             "\nOthers  -1  1  0  "
                             "\nTelnet  23  1  23  "
                             "\nFTP  21  1  21  "
                             "\nWeb  80  1  80  "
                             "\nFinger  79  1  79  "
                             "\nFTP_data  20  1  20  "
                             "\nArchie  1525  1  1525  ";

// The program's default Setting, released with the object.
class DefaultSetting {
public:
    DefaultSetting() { FillDefaultSetting(&s); }
    ~DefaultSetting() { ReleaseSetting(&s); }
    DefaultSetting(const DefaultSetting&) = delete;
    DefaultSetting& operator=(const DefaultSetting&) = delete;

    Setting s;
};

#endif
