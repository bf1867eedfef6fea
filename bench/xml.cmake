# The XML document parsing a typical status reply and a 1 MB property list, beside tinyxml2 and pugixml.
find_package(tinyxml2 CONFIG REQUIRED)
find_package(pugixml CONFIG REQUIRED)
logora_bench(xml_bench SOURCES xmlinst/XmlBench.cpp LIBS logora_xml tinyxml2::tinyxml2 pugixml::pugixml)
