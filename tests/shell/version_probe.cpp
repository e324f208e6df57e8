// Does nothing: it only carries the version resource for the test to read.
int main() {
  return 0;
}
