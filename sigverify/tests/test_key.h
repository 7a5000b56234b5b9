// A throwaway RSA-2048 key pair for tests that sign on every build: its
// private exponent is public here, so it protects nothing. Hexadecimal,
// most significant digit first; the public exponent is 65537.
#ifndef SIGVERIFY_TESTS_TEST_KEY_H
#define SIGVERIFY_TESTS_TEST_KEY_H

inline const char* test_key_modulus_hex() {
    return "ac5560e888a6501f718f02faa07c5db7ee2d1e905f310c785db18162f6a6df3a"
           "d01421ffd03603296f9555a7c41b620c2587c88ac0f00fa3da17d0bf966aba81"
           "a0525b9f547ec8eeb177872699cc228313fddbe96edffd5c57257fdb71f8e678"
           "9994aa38f6f3d053da1960edbf453042a7d50d2a4448ccb89b1290c76b5509ba"
           "b56a43c5562e5e103793006ae487f7dd3b6ae46dfeee502a5a21ff1961670b2c"
           "cadd84eac3fc06e5664bcfc94b55fbc550b9976e8f542fd27474990a9c96ac39"
           "2fb5a4844cd41974a4b087dac99f6289279b914278f0c7d8b2716396ccabc77c"
           "135a552b8908457a100ff333e9fc706985c6e973a5b8cb97ae0a0235b78dbb29";
}

inline const char* test_key_private_exponent_hex() {
    return "03e6337c48b1f9ce5596e9348e17c5a5d0b06ac37654c35af13721970ee787e3"
           "2db9745d9621d0333cf80a0794928cfca343e8d1985d7119c84d982ba7ad66f3"
           "f5fe420007bcdea51b5194b6a0e038630dcf96357bb50f318c33722aba18485c"
           "2925030715097552d3beb0bb1211922b56a903ef58c899f352167e2fe849b170"
           "a0172caa111c93eb4e761fe1797e31f77050337507a600b95088afc3b96755c8"
           "5eae61aeeaab48b97068a7804dc37ee2c2ac8245e6a859fa6b49262f56b5f714"
           "644c860ba4708a00284f4f619f09b767a3b8ef60ecf655556a5274dc5f69e025"
           "666f295b64d0f4825794be305d085b998f915f8d6c2e8eade0e09093844dd169";
}

#endif
