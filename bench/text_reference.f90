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

  subroutine tidy_number_text(s)
    character(len=*), intent(inout) :: s
    character(len=5) :: exponent_part
    character(len=19) :: mantissa
    integer :: p, mantissa_length, point, i

    s = adjustl(s)
    p = scan(s, 'EDed')
    if (p > 0) then
      exponent_part = s(p:len_trim(s))
      mantissa_length = p - 1
    else
      exponent_part = ' '
      mantissa_length = len_trim(s)
    end if
    mantissa = s(1:mantissa_length)
    point = index(mantissa, '.')
    if (point == 0) return
    do i = min(mantissa_length, 19), point + 1, -1
      if (mantissa(i:i) /= '0') exit
      mantissa(i:i) = ' '
    end do
    s = trim(mantissa) // trim(exponent_part)
  end subroutine tidy_number_text

end program text_reference
