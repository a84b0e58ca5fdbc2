/* The floor for the benchmark: a C program that writes the bytes of the
   worked example and nothing else. */
#include <stdio.h>

int main(void)
{
    fputs("tavoScribe - MRZ composer for PA identity cards (ICAO 9303)\r\n"
          "\r\nalter PA (bis 31. Oktober 2010 beantragt): \r\n"
          "1234567897D<<8501019<3012316<<<<<<<0\r\n"
          "\r\nneuer PA: \r\n"
          "TPD<<1234567897<<<<<<<<<<<<<<<\r\n"
          "8501019<3012316D<<<<<<<<<<<<<0\r\n",
          stdout);
    return 0;
}
