// Qt outside its face.
#include <QString>
