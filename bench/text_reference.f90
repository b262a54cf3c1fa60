! The work of bench_text_format done by gfortran's runtime: G14.7 texts of reals shortened by
! tidy_number_text, and list-directed reads of numeric records from a file. Prints the time
! per item in nanoseconds of processor time, best of the given number of rounds.
program text_reference
  implicit none
  character(len=1024) :: values_path, records_path, arg
  real, allocatable :: values(:)
  integer :: n_values, n_records, rounds, round, i, bits, ios, from_node, to_node
  real(8) :: t0, t1
  real :: components(6)
  character(len=14) :: s
  integer :: checksum
  double precision :: best_format, best_read, elapsed

  call get_command_argument(1, values_path)
  call get_command_argument(2, records_path)
  call get_command_argument(3, arg)
  read(arg, *) rounds
  open(10, file=values_path, access='stream', form='unformatted', status='old')
  inquire(10, size=n_values)
  n_values = n_values / 4
  allocate(values(n_values))
  do i = 1, n_values
    read(10) bits
    values(i) = transfer(bits, values(i))
  end do
  close(10)

  checksum = 0
  best_format = huge(1.0d0)
  best_read = huge(1.0d0)
  do round = 1, rounds
    call cpu_time(t0)
    do i = 1, n_values
      write(s, '(G14.7)') values(i)
      call tidy_number_text(s)
      checksum = checksum + len_trim(s)
    end do
    call cpu_time(t1)
    elapsed = (t1 - t0) * 1.0d9 / n_values
    best_format = min(best_format, elapsed)

    call cpu_time(t0)
    open(11, file=records_path, status='old')
    n_records = 0
    do
      read(11, *, iostat=ios) from_node, to_node, components
      if (ios /= 0) exit
      n_records = n_records + 1
      checksum = checksum + to_node
    end do
    close(11)
    call cpu_time(t1)
    elapsed = (t1 - t0) * 1.0d9 / max(n_records, 1)
    best_read = min(best_read, elapsed)
  end do
  write(*, '(A, F0.2)') 'g14_7_tidy_ns ', best_format
  write(*, '(A, F0.2)') 'free_form_read_ns ', best_read
  write(*, '(A, I0)') 'checksum ', checksum

contains

  include '../tests/text/fortran/tidy_number_text.inc'

end program text_reference
