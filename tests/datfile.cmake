# The .DAT reader and the dataset it fills.
kestrane_gtest(DatReaderTest SOURCES DatReaderTest.cpp LIBS kestrane_datfile kestrane_testdata)
