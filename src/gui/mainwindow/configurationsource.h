#ifndef CONFIGURATIONSOURCE_H
#define CONFIGURATIONSOURCE_H

// Where the open configuration came from. The numbers are the ones the
// window has always kept.
enum ConfigurationSource {
    NewConfiguration = 0,
    ConfigurationFromFile = 1,
    ConfigurationFromModule = 2
};

#endif
